#pragma once

#include "core/input_source.h"
#include "engine/pipelines.h"
#include "engine/session.h"

namespace velmora {

// The Predict command from the FASTA input to the result file: reads and
// checks the whole input, checks the installation (files, programs, the
// reference data against lib/MANIFEST), empties the workspace, reads the
// input again to write the two predictor inputs, runs the option's predictors
// and its mapping pipeline. A failure or a stop request is logged as one line
// and ends the run; returns whether the run completed. Nothing is deleted
// before the checks have passed. Only the input's names are held in memory.
bool Predict(Session& session, const InputSource& input, PredictionOption option);

// Where a run that is spread over machines stops: after writing the
// predictor inputs (for the whole input), or after the option's predictors
// (for one shard of it). Checks and logs as Predict does.
enum class PredictStage { Inputs, Predictors };
bool PredictUntil(Session& session, const InputSource& input, PredictionOption option, PredictStage stage);

}  // namespace velmora
