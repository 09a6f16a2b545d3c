#pragma once

// The stages of a Predict run and the cost model that weighs them, so that
// the front ends can show one fraction of the whole run and the time left.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/pipelines.h"
#include "engine/progress_tracker.h"

namespace velmora::stages {

inline const std::string kCheck = "Checking the input";
inline const std::string kInputs = "Writing the predictor inputs";
inline const std::string kMiranda = "miRanda";
inline const std::string kTargetScan = "TargetScan";
inline const std::string kMapping = "Mapping";

// The stages of a run with `option` on `nucleotides` of input, the scanner on
// `threads` threads, up to and with `last`; each weighed by
// the seconds it took per nucleotide on a two-core machine.
std::vector<PlannedStage> PredictPlan(PredictionOption option, std::uint64_t nucleotides, unsigned threads,
                                      const std::string& last);

}  // namespace velmora::stages
