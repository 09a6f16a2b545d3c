// velmora-cli: the command-line front end of the engine.

#include <CLI/CLI.hpp>
#include <clocale>
#include <iostream>
#include <map>
#include <new>
#include <string>

#include "cli/chart_command.h"
#include "cli/reference_command.h"
#include "cli/run_commands.h"
#include "cli/signal_stop.h"
#include "cli/workspace_rule.h"
#include "core/installation.h"
#include "core/standard_streams.h"
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
  CLI::App app{"Velmora: predicts which human diseases an lncRNA is associated with.", "velmora-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("velmora-cli ") + velmora::kVersion);
  app.set_help_all_flag("--help-all", "Print the help of every subcommand and exit");
  app.footer(velmora::cli::kWorkspaceRule);

  velmora::cli::RunOptions run;
  std::string option = "targetscan";
  std::string home = velmora::ProgramFolder().string();
  std::string workdir;
  std::string collection;
  // The options of every command that runs the engine.
  const auto addRecordOptions = [&](CLI::App* command) {
    command->add_option("--reference", collection, "Reference collection folder (velmora-cli reference build)")
        ->default_str("HOME/lib");
    command->add_option("--run-info", run.runInfo, "Write how the run was made, and how it ended, to this file (JSON)");
  };

  // The options both commands take.
  auto addRunOptions = [&](CLI::App* command, const std::string& optionHelp) {
    command->add_option("--option", option, optionHelp)->check(CLI::IsMember(kOptions))->capture_default_str();
    command->add_option("--home", home, "Installation folder holding lib/ and the predictors")
        ->default_str("the program's folder");
    command->add_option("--workdir", workdir, "Workspace folder for the run's files")
        ->default_str(velmora::cli::kDefaultWorkdir);
    command->add_option("--output", run.output, "Copy the workspace's result.xls to this file afterwards");
    command->add_option("--evidence", run.evidence, "Copy the workspace's result_mirnas.tsv to this file afterwards");
    command->add_flag("--quiet", run.quiet, "Show no progress, only the log");
    addRecordOptions(command);
  };
  CLI::App* map = app.add_subcommand(
      "map", "Map the predictor outputs already in the workspace and test them against the disease sets");
  addRunOptions(map, "How binding sites count: targetscan, miranda, union or intersection");

  std::string input;
  CLI::App* predict = app.add_subcommand(
      "predict", "Predict the binding miRNAs of the FASTA sequences in INPUT and test them against the disease sets");
  addRunOptions(predict, "How binding sites are predicted: targetscan, miranda, union or intersection");
  predict->add_option("--threads", run.threads, "Threads of the alignment scanner")
      ->check(CLI::Range(1, 1024))
      ->default_str("all cores");
  predict->add_option("INPUT", input, "FASTA file of lncRNA sequences (standard input when absent or -)");

  // The two halves of a run spread over machines (workflow/Snakefile).
  CLI::App* scan = app.add_subcommand("scan", "Write the predictor inputs of INPUT and run the option's predictors");
  addRunOptions(scan, "Which predictors run: targetscan, miranda, union or intersection");
  scan->add_option("--threads", run.threads, "Threads of the alignment scanner")->check(CLI::Range(1, 1024));
  scan->add_option("INPUT", input, "FASTA file of lncRNA sequences")->required();
  CLI::App* prepare = app.add_subcommand("prepare", "Empty the workspace and write the predictor inputs of INPUT");
  prepare->add_option("--home", home, "Installation folder holding lib/")->default_str("the program's folder");
  prepare->add_option("--workdir", workdir, "Workspace folder for the run's files")
      ->default_str(velmora::cli::kDefaultWorkdir);
  addRecordOptions(prepare);
  prepare->add_option("INPUT", input, "FASTA file of lncRNA sequences")->required();

  velmora::cli::ChartOptions chart;
  chart.home = home;
  CLI::App* chartCommand = velmora::cli::AddChartCommand(app, chart);
  velmora::cli::ReferenceOptions reference;
  CLI::App* referenceBuild = velmora::cli::AddReferenceCommand(app, reference);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : 2;
  }
  if (chartCommand->parsed()) return velmora::cli::Chart(chart);
  if (referenceBuild->parsed()) {
    std::string commandLine = "velmora-cli";
    for (int i = 1; i < argc; ++i) commandLine += std::string(" ") + argv[i];
    return velmora::cli::ReferenceBuild(reference, commandLine);
  }
  run.option = kOptions.at(option);
  run.home = home;
  run.workdir = workdir;
  run.reference = collection;
  run.stop = signals.Token();
  int status = 0;
  if (predict->parsed()) {
    status = velmora::cli::Predict(run, input);
  } else if (scan->parsed()) {
    status = velmora::cli::PredictUntil(run, input, velmora::PredictStage::Predictors);
  } else if (prepare->parsed()) {
    status = velmora::cli::PredictUntil(run, input, velmora::PredictStage::Inputs);
  } else {
    status = velmora::cli::Map(run);
  }
  return status != 0 && signals.Signal() != 0 ? 128 + signals.Signal() : status;
}

}  // namespace

int main(int argc, char** argv) {
  velmora::OpenMissingStandardStreams();
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
