#pragma once

// The traceback of one hit, recomputed in a window of columns left of its
// end cell, so that no alignment matrix of the whole target is kept.

#include <vector>

#include "predictors/lane_kernel.h"
#include "predictors/scanner.h"
#include "predictors/scoring.h"

namespace velmora::scanner {

struct Trace {
  std::vector<Column> columns;  // 5' to 3' on the target
  int firstRow, lastRow, firstTarget, lastTarget;
};

// The same trace a traceback through the whole matrix gives. The window
// starts a little wider than the miRNA and doubles until the trace is
// provably exact (see window_trace.cpp).
Trace TraceBack(const Rows& rows, const std::vector<Base>& target, const Candidate& end);

}  // namespace velmora::scanner
