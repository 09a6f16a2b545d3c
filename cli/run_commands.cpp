#include "cli/run_commands.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <iterator>

#include "cli/console_frontend.h"
#include "core/file_bytes.h"
#include "core/gzip_file.h"
#include "core/installation.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/text.h"
#include "engine/logged_run.h"
#include "engine/predict.h"
#include "engine/reference_manifest.h"
#include "engine/session.h"
#include "engine/workspace_lock.h"
#include "stats/factorial_table.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

void RequireMappingInputs(const Session& session, PredictionOption option) {
  std::vector<std::string_view> data = {paths::kFactorials, paths::kDiseaseSets};
  if (UsesTargetScan(option)) data.push_back(paths::kReferenceMirnas);
  RequireFiles(session.home, data);
  VerifyReferenceData(session.home, data);
  std::vector<std::string_view> outputs;
  if (UsesTargetScan(option)) outputs.push_back(paths::kTargetScanOutput);
  if (UsesMiranda(option)) outputs.push_back(paths::kMirandaOutput);
  for (std::string_view name : outputs) {
    std::error_code error;
    if (!fs::is_regular_file(session.Work(name), error)) {
      throw RunFailure(session.Work(name).string() + ": file not found");
    }
  }
}

// A --output or --evidence destination is checked before the run, so that a
// run is never lost to a typing mistake found at its end.
void CheckDestination(const Session& session, const std::string& option, const std::string& output) {
  if (output.empty()) return;
  const fs::path destination(output);
  const fs::path folder = destination.has_parent_path() ? destination.parent_path() : fs::path(".");
  std::error_code error;
  if (fs::is_directory(destination, error)) throw RunFailure(option + " " + output + ": is a folder");
  if (!fs::is_directory(folder, error)) {
    throw RunFailure(option + " " + output + ": the folder " + folder.string() + " does not exist");
  }
  if (access(folder.c_str(), W_OK) != 0) {
    throw RunFailure(option + " " + output + ": cannot write in " + folder.string() + ": " + std::strerror(errno));
  }
  const fs::path workspace = fs::weakly_canonical(session.Workspace(), error);
  if (fs::weakly_canonical(folder, error) == workspace) {
    for (std::string_view name : paths::kWorkspaceFiles) {
      if (destination.filename() == name) {
        throw RunFailure(option + " " + output + ": a file of the run's own workspace; choose another file");
      }
    }
  }
}

// The copy, too, appears under its name only when complete.
void CopyWorkFile(const Session& session, std::string_view name, const fs::path& destination) {
  OutputFile out(destination);
  out.Write(ReadFileBytes(session.Work(name)));
  out.Close();
}

// Reads the input as the window's Import does: CR LF, CR and LF all end a line.
std::string ReadInput(const std::string& path) {
  if (!path.empty() && path != "-") return WithLineFeeds(ReadPlainOrGzipFile(path));
  const std::string bytes((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  if (std::cin.bad()) throw RunFailure("standard input: cannot be read");
  return WithLineFeeds(bytes);
}

// Loads the factorials, runs `work` in a session and copies the result and
// the evidence.
int RunSession(const RunOptions& options, const std::function<bool(Session&)>& work, bool mapped = true) {
  ConsoleFrontend frontend;
  FactorialTable factorials;
  Session session{options.home, frontend, factorials, options.stop};
  session.workdir = options.workdir;
  session.threads = options.threads;
  const bool completed =
      RunLogged(session,
                [&] {
                  CheckDestination(session, "--output", options.output);
                  CheckDestination(session, "--evidence", options.evidence);
                }) &&
      RunLocked(session, [&] {
        return RunLogged(session,
                         [&] { factorials = LoadFactorialTable(paths::In(options.home, paths::kFactorials)); }) &&
               work(session) && RunLogged(session, [&] {
                 if (!options.output.empty()) CopyWorkFile(session, paths::kResult, options.output);
                 if (!options.evidence.empty()) CopyWorkFile(session, paths::kEvidence, options.evidence);
               });
      });
  if (!completed) return 1;
  if (!mapped) return 0;
  std::cerr << frontend.Rows() << " associations in " << session.Work(paths::kResult).string()
            << (options.output.empty() ? "" : ", copied to " + options.output) << "\n";
  return 0;
}

}  // namespace

int Map(const RunOptions& options) {
  return RunSession(options, [&](Session& session) {
    return RunLogged(session, [&] {
      RequireMappingInputs(session, options.option);
      RunMapping(session, options.option);
    });
  });
}

int Predict(const RunOptions& options, const std::string& input) {
  return RunSession(options, [&](Session& session) {
    std::string text;
    return RunLogged(session, [&] { text = ReadInput(input); }) && velmora::Predict(session, text, options.option);
  });
}

int PredictUntil(const RunOptions& options, const std::string& input, PredictStage stage) {
  return RunSession(
      options,
      [&](Session& session) {
        std::string text;
        return RunLogged(session, [&] { text = ReadInput(input); }) &&
               velmora::PredictUntil(session, text, options.option, stage);
      },
      false);
}

}  // namespace velmora::cli
