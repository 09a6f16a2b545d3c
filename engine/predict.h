#pragma once

#include <string_view>

#include "engine/pipelines.h"
#include "engine/session.h"

namespace velmora {

// The Predict command from the input text (LF line breaks) to the result
// file: reads and checks the whole input, checks the installation (files,
// programs, the reference data against lib/MANIFEST), empties the workspace,
// writes the two predictor inputs from the same records, runs the option's predictors and its mapping pipeline.
// A failure or a stop request is logged as one line and ends the run;
// returns whether the run completed. Nothing is deleted before the checks
// have passed.
bool Predict(Session& session, std::string_view text, PredictionOption option);

// Where a run that is spread over machines stops: after writing the
// predictor inputs (for the whole input), or after the option's predictors
// (for one shard of it). Checks and logs as Predict does.
enum class PredictStage { Inputs, Predictors };
bool PredictUntil(Session& session, std::string_view text, PredictionOption option, PredictStage stage);

}  // namespace velmora
