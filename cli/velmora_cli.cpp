// velmora-cli: the command-line front end of the engine.

#include <CLI/CLI.hpp>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

#include "cli/console_frontend.h"
#include "core/core.h"
#include "engine/engine.h"
#include "stats/factorial_table.h"

namespace {

using velmora::PredictionOption;
namespace fs = std::filesystem;

const std::map<std::string, PredictionOption> kOptions = {
    {"targetscan", PredictionOption::TargetScanOnly},
    {"miranda", PredictionOption::MirandaOnly},
    {"union", PredictionOption::BothUnion},
    {"intersection", PredictionOption::BothIntersection},
};

void RequireMappingInputs(const fs::path& home, PredictionOption option) {
  namespace paths = velmora::paths;
  velmora::RequireFiles(home, {paths::kFactorials, paths::kDiseaseSets});
  if (UsesTargetScan(option)) velmora::RequireFiles(home, {paths::kReferenceMirnas, paths::kTargetScanOutput});
  if (UsesMiranda(option)) velmora::RequireFiles(home, {paths::kMirandaOutput});
}

void CopyResult(const fs::path& home, const fs::path& destination) {
  std::error_code error;
  fs::copy_file(velmora::paths::In(home, velmora::paths::kResult), destination, fs::copy_options::overwrite_existing,
                error);
  if (error) throw velmora::RunFailure("cannot write " + destination.string() + ": " + error.message());
}

// Reads the input as the window's Import does: CR LF, CR and LF all end a line.
std::string ReadInput(const std::string& path) {
  if (!path.empty() && path != "-") return velmora::WithLineFeeds(velmora::ReadFileBytes(path));
  const std::string bytes((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  if (std::cin.bad()) throw velmora::RunFailure("standard input: cannot be read");
  return velmora::WithLineFeeds(bytes);
}

// Loads the factorials, runs `work` in a session on `home` and copies the
// result. Exit status 0 when all of it completed; otherwise 1, and the log's
// last line says why.
int RunSession(const fs::path& home, const std::string& output, const std::function<bool(velmora::Session&)>& work) {
  velmora::ConsoleFrontend frontend;
  velmora::FactorialTable factorials;
  velmora::Session session{home, frontend, factorials};
  const bool completed =
      velmora::RunLogged(
          session,
          [&] { factorials = velmora::LoadFactorialTable(velmora::paths::In(home, velmora::paths::kFactorials)); }) &&
      work(session) && velmora::RunLogged(session, [&] {
        if (!output.empty()) CopyResult(home, output);
      });
  if (!completed) return 1;
  std::cerr << frontend.Rows() << " associations in " << (home / velmora::paths::kResult).string()
            << (output.empty() ? "" : ", copied to " + output) << "\n";
  return 0;
}

int Map(PredictionOption option, const fs::path& home, const std::string& output) {
  return RunSession(home, output, [&](velmora::Session& session) {
    return velmora::RunLogged(session, [&] {
      RequireMappingInputs(home, option);
      velmora::RunMapping(session, option);
    });
  });
}

int Predict(PredictionOption option, const fs::path& home, const std::string& output, const std::string& input) {
  return RunSession(home, output, [&](velmora::Session& session) {
    std::string text;
    return velmora::RunLogged(session, [&] { text = ReadInput(input); }) && velmora::Predict(session, text, option);
  });
}

// Exit status 2 for a usage error, 1 for a run that failed.
int Main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // log stamps in the user's date and time form
  CLI::App app{"Velmora: predicts which human diseases an lncRNA is associated with."};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("velmora-cli ") + velmora::kVersion);

  std::string option = "targetscan";
  std::string home = velmora::ProgramFolder().string();
  std::string output;

  // The options both commands take.
  auto addRunOptions = [&](CLI::App* command, const std::string& optionHelp, const std::string& homeHelp) {
    command->add_option("--option", option, optionHelp)
        ->check(CLI::IsMember({"targetscan", "miranda", "union", "intersection"}))
        ->capture_default_str();
    command->add_option("--home", home, homeHelp)->default_str("the program's folder");
    command->add_option("--output", output, "Copy tmp/result.xls to this file afterwards");
  };
  CLI::App* map = app.add_subcommand(
      "map", "Map the predictor outputs already in HOME/tmp/ and test them against the disease sets");
  addRunOptions(map, "How binding sites count: targetscan, miranda, union or intersection",
                "Installation folder holding lib/ and tmp/");

  std::string input;
  CLI::App* predict = app.add_subcommand(
      "predict", "Predict the binding miRNAs of the FASTA sequences in INPUT and test them against the disease sets");
  addRunOptions(predict, "How binding sites are predicted: targetscan, miranda, union or intersection",
                "Installation folder holding lib/, the predictors and tmp/");
  predict->add_option("INPUT", input, "FASTA file of lncRNA sequences (standard input when absent or -)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : 2;
  }
  if (predict->parsed()) return Predict(kOptions.at(option), home, output, input);
  return Map(kOptions.at(option), home, output);
}

}  // namespace

int main(int argc, char** argv) {
  // Nothing may end the program without a word, whatever fails.
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "velmora-cli: out of memory\n";
  } catch (const std::exception& error) {
    std::cerr << "velmora-cli: " << error.what() << "\n";
  }
  return 1;
}
