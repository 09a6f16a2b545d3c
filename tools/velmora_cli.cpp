// velmora-cli: the command-line front end of the engine.

#include <CLI/CLI.hpp>

#include <clocale>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>

#include "mapping/pipelines.h"
#include "run/installation.h"
#include "run/paths.h"
#include "run/run_failure.h"
#include "stats/run_log.h"
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
  if (option != PredictionOption::MirandaOnly) {
    velmora::RequireFiles(home, {paths::kReferenceMirnas, paths::kTargetScanOutput});
  }
  if (option != PredictionOption::TargetScanOnly) velmora::RequireFiles(home, {paths::kMirandaOutput});
}

void CopyResult(const fs::path& home, const fs::path& destination) {
  std::error_code error;
  fs::copy_file(velmora::paths::In(home, velmora::paths::kResult), destination,
                fs::copy_options::overwrite_existing, error);
  if (error) throw velmora::RunFailure("cannot write " + destination.string() + ": " + error.message());
}

int Map(PredictionOption option, const fs::path& home, const std::string& output) {
  velmora::ConsoleFrontend frontend;
  try {
    RequireMappingInputs(home, option);
    const auto factorials = velmora::LoadFactorialTable(velmora::paths::In(home, velmora::paths::kFactorials));
    velmora::ResultStore store;
    velmora::Session session{home, frontend, store, factorials};
    velmora::RunMapping(session, option);
    if (!output.empty()) CopyResult(home, output);
    return 0;
  } catch (const velmora::RunFailure& failure) {
    velmora::AppendLogLine(frontend, failure.what());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // log stamps in the user's date and time form
  CLI::App app{"Velmora: predicts which human diseases an lncRNA is associated with."};
  app.require_subcommand(1);

  PredictionOption option = PredictionOption::TargetScanOnly;
  std::string home = velmora::ProgramFolder().string();
  std::string output;

  CLI::App* map = app.add_subcommand(
      "map", "Map the predictor outputs already in HOME/tmp/ and test them against the disease sets");
  map->add_option("--option", option, "How binding sites count: targetscan, miranda, union or intersection")
      ->transform(CLI::CheckedTransformer(kOptions))
      ->default_str("targetscan");
  map->add_option("--home", home, "Installation folder holding lib/ and tmp/")->default_str("the program's folder");
  map->add_option("--output", output, "Copy tmp/result.xls to this file afterwards");

  CLI11_PARSE(app, argc, argv);
  return Map(option, home, output);
}
