#pragma once

// The line under the results list that explains the selected row.

#include <cstddef>
#include <string>

#include "engine/evidence_file.h"

namespace velmora {

// "FDR 0.0263 · 41 shared miRNAs: " and the first `shown` of them, each with
// the predictor that found it; ", … and N more" for the rest (just "…" when
// none is shown). The FDR with
// three significant digits (exponent form as "3.5E-06"); a text that is not
// a number as it is.
std::string EvidenceText(const Evidence& evidence, std::size_t shown);

}  // namespace velmora
