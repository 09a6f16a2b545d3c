#pragma once

// The hits of one miRNA-target pair, from the candidate cells of its alignment.

#include <string>
#include <vector>

#include "predictors/lane_kernel.h"
#include "predictors/scanner.h"
#include "predictors/scoring.h"
#include "predictors/window_trace.h"

namespace velmora::scanner {

// Ranks the candidates (highest score first, then smaller target end), drops
// those near a better one's diagonal, traces the rest and keeps each whose
// aligned target region does not overlap a kept hit's too much.
std::vector<Hit> SelectHits(const std::string& mirna, const std::string& target, const Rows& rows,
                            const std::vector<Base>& codes, std::vector<Candidate>& candidates);

// Whether a hit over target positions first..last overlaps a better kept
// hit over keptFirst..keptLast too much to be reported.
bool OverlapsTooMuch(int keptFirst, int keptLast, int first, int last);

Hit Describe(const Trace& trace, int score, const std::string& mirna, const std::string& target);

}  // namespace velmora::scanner
