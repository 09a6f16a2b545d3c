#pragma once

// The four mapping pipelines: predictor output -> pair files -> grouped
// pairs -> lncRNA miRNA sets -> enrichment table, with the progress lines
// "Preprocessing data", "Mapping and calculating", a count of what was
// found and "Ready". Each also writes the evidence file beside result.xls.

#include <filesystem>
#include <string_view>

#include "engine/session.h"

namespace velmora {

enum class PredictionOption { TargetScanOnly, MirandaOnly, BothUnion, BothIntersection };

inline bool UsesTargetScan(PredictionOption option) { return option != PredictionOption::MirandaOnly; }
inline bool UsesMiranda(PredictionOption option) { return option != PredictionOption::TargetScanOnly; }

inline constexpr std::string_view kNoPairMessage = "No lncRNA-miRNA pair was found; the result is empty.";

// The four pipelines keep the design's signatures, which callers and stored
// notes name: both switches are true in every run (bShowRows: rows shown;
// bDropFirstChar: the site finder's gene ids lose their first character).
// The scanner's pairs are not restricted to the reference list, which
// MapMirandaOnly takes only to keep that signature.
void MapTargetScanOnly(Session& session, const std::filesystem::path& targetScanOutput,
                       const std::filesystem::path& referenceList, const std::filesystem::path& diseaseSets,
                       bool bShowRows, bool bDropFirstChar);

void MapMirandaOnly(Session& session, const std::filesystem::path& mirandaOutput,
                    const std::filesystem::path& referenceList, const std::filesystem::path& diseaseSets,
                    bool bShowRows, bool bDropFirstChar);

void MapBothUnion(Session& session, const std::filesystem::path& targetScanOutput,
                  const std::filesystem::path& mirandaOutput, const std::filesystem::path& referenceList,
                  const std::filesystem::path& diseaseSets, bool bShowRows, bool bDropFirstChar);

void MapBothIntersection(Session& session, const std::filesystem::path& targetScanOutput,
                         const std::filesystem::path& mirandaOutput, const std::filesystem::path& referenceList,
                         const std::filesystem::path& diseaseSets, bool bShowRows, bool bDropFirstChar);

// The option's pipeline on the predictor outputs in the workspace and the
// session's reference collection, rows shown.
void RunMapping(Session& session, PredictionOption option);

}  // namespace velmora
