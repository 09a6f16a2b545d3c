#pragma once

// The commands that run the engine: map and predict.

#include <filesystem>
#include <stop_token>
#include <string>

#include "engine/pipelines.h"
#include "engine/predict.h"

namespace velmora::cli {

struct RunOptions {
  PredictionOption option = PredictionOption::TargetScanOnly;
  std::filesystem::path home;       // the installation folder: lib/, the predictors
  std::filesystem::path workdir;    // the workspace; empty: DefaultWorkspace(home)
  std::filesystem::path reference;  // the reference collection's folder; empty: HOME/lib
  std::string output;               // where to copy result.xls afterwards; empty: nowhere
  std::string evidence;             // where to copy result_mirnas.tsv afterwards; empty: nowhere
  std::string runInfo;              // where to write the run's record however it ends; empty: nowhere
  unsigned threads = 0;             // the scanner's threads; 0: all cores
  bool quiet = false;               // no progress on standard error, only the log
  std::stop_token stop;             // asks the run to stop (a signal)
};

// Each holds the workspace for the whole run and returns the exit status: 0
// when the run completed, 1 when it failed or stopped (the last log line on
// standard error says why).
int Map(const RunOptions& options);
int Predict(const RunOptions& options, const std::string& input);

// A part of a predict run, for a run spread over machines: the predictor
// inputs of the whole input, or the predictors of one shard.
int PredictUntil(const RunOptions& options, const std::string& input, PredictStage stage);

}  // namespace velmora::cli
