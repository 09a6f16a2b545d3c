#pragma once

#include <filesystem>

#include "run/session.h"

namespace velmora {

inline constexpr int kDiseaseCount = 372;
inline constexpr int kUniverseSize = 494;
inline constexpr double kPValueThreshold = 0.05;
inline constexpr double kOddsRatioThreshold = 2;

// Tests every lncRNA set of the set file against every disease set and
// writes the reported associations (a > 0, odds ratio >= 2 or undefined,
// P <= 0.05) to the result file; with showRows each also goes to the front
// end's list. The inputs are checked before anything is written: 372
// non-empty disease lines, no miRNA twice on a disease line, no 2x2 table
// with a negative count. A violation throws RunFailure.
void WriteEnrichmentTable(Session& session, const std::filesystem::path& diseaseSetPath,
                          const std::filesystem::path& lncMirSetPath, const std::filesystem::path& resultPath,
                          bool diseaseStopAtLineFeed, bool lncStopAtLineFeed, bool bShowRows);

}  // namespace velmora
