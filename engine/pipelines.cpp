#include "engine/pipelines.h"

#include <functional>

#include "core/paths.h"
#include "engine/enrichment_table.h"
#include "engine/run_log.h"
#include "mapping/miranda_reader.h"
#include "mapping/pair_table.h"
#include "mapping/set_file.h"
#include "mapping/targetscan_reader.h"

namespace velmora {
namespace {

// The steps every pipeline shares around its own pair extraction, which
// must leave the grouped pair file behind.
void RunPipeline(Session& session, const std::filesystem::path& diseaseSets, bool bShowRows,
                 const std::function<void()>& groupPairs) {
  AppendLogLine(session.frontend, "Preprocessing data");
  groupPairs();
  const auto setFile = session.Work(paths::kLncMirSets);
  WriteLncMirSets(session.Work(paths::kGroupedPairs), setFile, false, session.stop);
  AppendLogLine(session.frontend, "Mapping and calculating");
  WriteEnrichmentTable(session, diseaseSets, setFile, session.Work(paths::kResult), true, true, bShowRows);
  std::error_code error;
  if (std::filesystem::file_size(setFile, error) == 0 && !error) AppendLogLine(session.frontend, kNoPairMessage);
  AppendLogLine(session.frontend, "Ready");
}

// Both two-predictor pipelines: the scanner's pairs first, then the site
// finder's, then the merge (scanner's pair file first).
void MapBoth(Session& session, const std::filesystem::path& targetScanOutput,
             const std::filesystem::path& mirandaOutput, const std::filesystem::path& referenceList,
             const std::filesystem::path& diseaseSets, bool bShowRows, bool bDropFirstChar,
             void (*merge)(const std::filesystem::path&, const std::filesystem::path&, const std::filesystem::path&,
                           std::stop_token)) {
  RunPipeline(session, diseaseSets, bShowRows, [&] {
    const auto mirandaPairs = session.Work(paths::kMirandaPairs);
    const auto targetScanPairs = session.Work(paths::kTargetScanPairs);
    ExtractMirandaPairs(mirandaOutput, mirandaPairs, session.stop);
    ExtractTargetScanPairs(targetScanOutput, targetScanPairs, referenceList, true, false, bDropFirstChar, session.stop);
    merge(mirandaPairs, targetScanPairs, session.Work(paths::kGroupedPairs), session.stop);
  });
}

}  // namespace

void MapTargetScanOnly(Session& session, const std::filesystem::path& targetScanOutput,
                       const std::filesystem::path& referenceList, const std::filesystem::path& diseaseSets,
                       bool bShowRows, bool bDropFirstChar) {
  RunPipeline(session, diseaseSets, bShowRows, [&] {
    const auto pairs = session.Work(paths::kPairs);
    ExtractTargetScanPairs(targetScanOutput, pairs, referenceList, true, false, bDropFirstChar, session.stop);
    GroupPairs(pairs, session.Work(paths::kGroupedPairs), session.stop);
  });
}

void MapMirandaOnly(Session& session, const std::filesystem::path& mirandaOutput,
                    const std::filesystem::path& /*referenceList*/, const std::filesystem::path& diseaseSets,
                    bool bShowRows, bool /*bDropFirstChar*/) {
  RunPipeline(session, diseaseSets, bShowRows, [&] {
    const auto pairs = session.Work(paths::kPairs);
    ExtractMirandaPairs(mirandaOutput, pairs, session.stop);
    GroupPairs(pairs, session.Work(paths::kGroupedPairs), session.stop);
  });
}

void MapBothUnion(Session& session, const std::filesystem::path& targetScanOutput,
                  const std::filesystem::path& mirandaOutput, const std::filesystem::path& referenceList,
                  const std::filesystem::path& diseaseSets, bool bShowRows, bool bDropFirstChar) {
  MapBoth(session, targetScanOutput, mirandaOutput, referenceList, diseaseSets, bShowRows, bDropFirstChar,
          MergePairsUnion);
}

void MapBothIntersection(Session& session, const std::filesystem::path& targetScanOutput,
                         const std::filesystem::path& mirandaOutput, const std::filesystem::path& referenceList,
                         const std::filesystem::path& diseaseSets, bool bShowRows, bool bDropFirstChar) {
  MapBoth(session, targetScanOutput, mirandaOutput, referenceList, diseaseSets, bShowRows, bDropFirstChar,
          MergePairsIntersection);
}

void RunMapping(Session& session, PredictionOption option) {
  const auto targetScan = session.Work(paths::kTargetScanOutput);
  const auto miranda = session.Work(paths::kMirandaOutput);
  const auto reference = paths::In(session.home, paths::kReferenceMirnas);
  const auto diseases = paths::In(session.home, paths::kDiseaseSets);
  switch (option) {
    case PredictionOption::TargetScanOnly:
      return MapTargetScanOnly(session, targetScan, reference, diseases, true, true);
    case PredictionOption::MirandaOnly:
      return MapMirandaOnly(session, miranda, reference, diseases, true, true);
    case PredictionOption::BothUnion:
      return MapBothUnion(session, targetScan, miranda, reference, diseases, true, true);
    case PredictionOption::BothIntersection:
      return MapBothIntersection(session, targetScan, miranda, reference, diseases, true, true);
  }
}

}  // namespace velmora
