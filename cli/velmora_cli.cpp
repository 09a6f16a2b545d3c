// velmora-cli: the command-line front end of the engine.

#include <CLI/CLI.hpp>
#include <clocale>
#include <iostream>
#include <map>
#include <new>
#include <string>

#include "cli/run_commands.h"
#include "cli/signal_stop.h"
#include "core/installation.h"
#include "core/version.h"

namespace {

using velmora::PredictionOption;

const std::map<std::string, PredictionOption> kOptions = {
    {"targetscan", PredictionOption::TargetScanOnly},
    {"miranda", PredictionOption::MirandaOnly},
    {"union", PredictionOption::BothUnion},
    {"intersection", PredictionOption::BothIntersection},
};

// Exit status 2 for a usage error, 1 for a run that failed, 128 plus the
// signal for a run that SIGINT or SIGTERM stopped.
int Main(int argc, char** argv) {
  velmora::cli::SignalStop signals;
  std::setlocale(LC_ALL, "");  // log stamps in the user's date and time form
  CLI::App app{"Velmora: predicts which human diseases an lncRNA is associated with."};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("velmora-cli ") + velmora::kVersion);

  velmora::cli::RunOptions run;
  std::string option = "targetscan";
  std::string home = velmora::ProgramFolder().string();
  std::string workdir;

  // The options both commands take.
  auto addRunOptions = [&](CLI::App* command, const std::string& optionHelp) {
    command->add_option("--option", option, optionHelp)->check(CLI::IsMember(kOptions))->capture_default_str();
    command->add_option("--home", home, "Installation folder holding lib/ and the predictors")
        ->default_str("the program's folder");
    command->add_option("--workdir", workdir, "Workspace folder for the run's files")->default_str("HOME/tmp");
    command->add_option("--output", run.output, "Copy the workspace's result.xls to this file afterwards");
  };
  CLI::App* map = app.add_subcommand(
      "map", "Map the predictor outputs already in the workspace and test them against the disease sets");
  addRunOptions(map, "How binding sites count: targetscan, miranda, union or intersection");

  std::string input;
  CLI::App* predict = app.add_subcommand(
      "predict", "Predict the binding miRNAs of the FASTA sequences in INPUT and test them against the disease sets");
  addRunOptions(predict, "How binding sites are predicted: targetscan, miranda, union or intersection");
  predict->add_option("INPUT", input, "FASTA file of lncRNA sequences (standard input when absent or -)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : 2;
  }
  run.option = kOptions.at(option);
  run.home = home;
  run.workdir = workdir;
  run.stop = signals.Token();
  const int status = predict->parsed() ? velmora::cli::Predict(run, input) : velmora::cli::Map(run);
  return status != 0 && signals.Signal() != 0 ? 128 + signals.Signal() : status;
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
