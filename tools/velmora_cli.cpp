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

#include "mapping/mapping.h"
#include "run/run.h"
#include "stats/stats.h"
#include "tools/console_frontend.h"

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
  fs::copy_file(velmora::paths::In(home, velmora::paths::kResult), destination,
                fs::copy_options::overwrite_existing, error);
  if (error) throw velmora::RunFailure("cannot write " + destination.string() + ": " + error.message());
}

// Reads the input as the window's Import does: CR LF, CR and LF all end a line.
std::string ReadInput(const std::string& path) {
  std::ifstream file;
  if (!path.empty() && path != "-") {
    file.open(path, std::ios::binary);
    if (!file) throw velmora::RunFailure(path + ": cannot be read");
  }
  std::istream& in = file.is_open() ? file : std::cin;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return velmora::WithLineFeeds(bytes);
}

// Loads the factorials, runs `work` in a session on `home`, copies the result.
int RunSession(const fs::path& home, const std::string& output,
               const std::function<bool(velmora::Session&)>& work) {
  velmora::ConsoleFrontend frontend;
  try {
    const auto factorials = velmora::LoadFactorialTable(velmora::paths::In(home, velmora::paths::kFactorials));
    velmora::ResultStore store;
    velmora::Session session{home, frontend, store, factorials};
    if (!work(session)) return 1;
    if (!output.empty()) CopyResult(home, output);
    std::cerr << frontend.ResultRowCount() << " associations in " << (home / velmora::paths::kResult).string()
              << (output.empty() ? "" : ", copied to " + output) << "\n";
    return 0;
  } catch (const velmora::RunFailure& failure) {
    velmora::AppendLogLine(frontend, failure.what());
    return 1;
  }
}

int Map(PredictionOption option, const fs::path& home, const std::string& output) {
  return RunSession(home, output, [&](velmora::Session& session) {
    RequireMappingInputs(home, option);
    velmora::RunMapping(session, option);
    return true;
  });
}

int Predict(PredictionOption option, const fs::path& home, const std::string& output, const std::string& input) {
  std::string text;
  try {
    text = ReadInput(input);
  } catch (const velmora::RunFailure& failure) {
    std::cerr << "velmora-cli: " << failure.what() << "\n";
    return 1;
  }
  return RunSession(home, output, [&](velmora::Session& session) {
    return velmora::Predict(session, text, option);
  });
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // log stamps in the user's date and time form
  CLI::App app{"Velmora: predicts which human diseases an lncRNA is associated with."};
  app.require_subcommand(1);

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

  CLI11_PARSE(app, argc, argv);
  if (predict->parsed()) return Predict(kOptions.at(option), home, output, input);
  return Map(kOptions.at(option), home, output);
}
