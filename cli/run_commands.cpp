#include "cli/run_commands.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>

#include "cli/console_frontend.h"
#include "cli/stdin_spool.h"
#include "core/file_bytes.h"
#include "core/input_source.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "engine/logged_run.h"
#include "engine/predict.h"
#include "engine/run_record.h"
#include "engine/run_requirements.h"
#include "engine/session.h"
#include "engine/workspace_lock.h"
#include "stats/factorial_table.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

void RequireMappingInputs(const Session& session, PredictionOption option) {
  CheckRequirements(session.home, session.Collection(), MappingRequirements(option));
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

// Whether two names lead to one file: the same file when both exist, else
// the same path once resolved.
bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
  return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

bool ReadsStandardInput(const std::string& input) { return input.empty() || input == "-"; }

// A file written after the run must not overwrite the input, nor another one.
void CheckDistinct(const RunOptions& options, const std::string& input) {
  const std::pair<std::string, std::string> written[] = {
      {"--output", options.output}, {"--evidence", options.evidence}, {"--run-info", options.runInfo}};
  for (auto one = std::begin(written); one != std::end(written); ++one) {
    const auto& [option, output] = *one;
    if (output.empty()) continue;
    for (auto other = one + 1; other != std::end(written); ++other) {
      if (!other->second.empty() && SameFile(output, other->second)) {
        throw RunFailure(option + " " + output + " and " + other->first + " " + other->second +
                         ": the same file; choose two");
      }
    }
    if (!ReadsStandardInput(input) && SameFile(output, input)) {
      throw RunFailure(option + " " + output + ": the input file; choose another file");
    }
  }
}

// The copy, too, appears under its name only when complete.
void CopyWorkFile(const Session& session, std::string_view name, const fs::path& destination) {
  OutputFile out(destination);
  out.Write(ReadFileBytes(session.Work(name)));
  out.Close();
}

// Runs the predict steps on a file, read where it lies, or on standard input,
// spooled first because a run reads its input twice.
bool PredictInput(Session& session, const std::string& input,
                  const std::function<bool(Session&, const InputSource&)>& steps) {
  if (!ReadsStandardInput(input)) return steps(session, InputSource::File(input));
  std::optional<StdinSpool> spool;
  return RunLogged(session, [&] { spool.emplace(session.stop); }) &&
         steps(session, InputSource::Descriptor(spool->Descriptor(), "standard input"));
}

// Loads the factorials, runs `work` in a session and copies the result and
// the evidence.
int RunSession(const RunOptions& options, const std::function<bool(Session&)>& work, bool mapped = true,
               const std::string& input = {}) {
  ConsoleFrontend frontend(options.quiet);
  FactorialTable factorials;
  Session session{options.home, frontend, factorials, options.stop};
  session.workdir = options.workdir;
  session.threads = options.threads;
  session.reference = options.reference;
  const bool completed =
      RunLogged(session,
                [&] {
                  CheckDestination(session, "--output", options.output);
                  CheckDestination(session, "--evidence", options.evidence);
                  CheckDestination(session, "--run-info", options.runInfo);
                  CheckDistinct(options, input);
                }) &&
      RunLocked(session, [&] {
        return RunLogged(session,
                         [&] { factorials = LoadFactorialTable(session.Collection().Path(paths::kFactorials)); }) &&
               work(session) && RunLogged(session, [&] {
                 session.record.Stage("copies");
                 if (!options.output.empty()) CopyWorkFile(session, paths::kResult, options.output);
                 if (!options.evidence.empty()) CopyWorkFile(session, paths::kEvidence, options.evidence);
               });
      });
  // Written whatever happened, saying what did: a run that failed to write
  // its record fails.
  if (!options.runInfo.empty() && !RunLogged(session, [&] { WriteRunRecord(session, options.runInfo); })) {
    return 1;
  }
  if (!completed) return 1;
  if (!mapped) return 0;
  std::cerr << frontend.Rows() << " associations in " << session.Work(paths::kResult).string()
            << (options.output.empty() ? "" : ", copied to " + options.output) << "\n";
  return 0;
}

}  // namespace

int Map(const RunOptions& options) {
  return RunSession(options, [&](Session& session) {
    return RunRecorded(session, options.option, [&] {
      RequireMappingInputs(session, options.option);
      RunMapping(session, options.option);
      session.progress.Finish();
    });
  });
}

int Predict(const RunOptions& options, const std::string& input) {
  return RunSession(
      options,
      [&](Session& session) {
        return PredictInput(session, input, [&](Session& run, const InputSource& source) {
          return velmora::Predict(run, source, options.option);
        });
      },
      true, input);
}

int PredictUntil(const RunOptions& options, const std::string& input, PredictStage stage) {
  return RunSession(
      options,
      [&](Session& session) {
        return PredictInput(session, input, [&](Session& run, const InputSource& source) {
          return velmora::PredictUntil(run, source, options.option, stage);
        });
      },
      false, input);
}

}  // namespace velmora::cli
