#include "engine/pipelines.h"

#include <functional>

#include "core/paths.h"
#include "engine/enrichment_table.h"
#include "engine/run_log.h"
#include "engine/run_plan.h"
#include "mapping/miranda_reader.h"
#include "mapping/pair_table.h"
#include "mapping/set_file.h"
#include "mapping/targetscan_reader.h"

namespace velmora {
namespace {

std::string Summary(const EnrichmentSummary& summary, std::string_view method) {
  return std::to_string(summary.associations) + (summary.associations == 1 ? " association" : " associations") +
         " found for " + std::to_string(summary.lncRNAsWithResult) + " of " + std::to_string(summary.lncRNAs) +
         " lncRNAs, predicted with " + std::string(method);
}

// The steps every pipeline shares around its own pair extraction, which
// must leave the grouped pair file behind; `sources` then tells which
// predictor found each pair.
void RunPipeline(Session& session, const std::filesystem::path& diseaseSets, bool bShowRows, std::string_view method,
                 const std::function<void()>& groupPairs, const std::function<PairSources()>& sources) {
  AppendLogLine(session.frontend, "Preprocessing data");
  groupPairs();
  const auto setFile = session.Work(paths::kLncMirSets);
  WriteLncMirSets(session.Work(paths::kGroupedPairs), setFile, false, session.stop);
  AppendLogLine(session.frontend, "Mapping and calculating");
  const PairSources found = sources();
  const EvidenceOutput evidence{session.Work(paths::kEvidence), found};
  const EnrichmentSummary summary = WriteEnrichmentTable(session, diseaseSets, setFile, session.Work(paths::kResult),
                                                         true, true, bShowRows, &evidence);
  std::error_code error;
  if (std::filesystem::file_size(setFile, error) == 0 && !error) AppendLogLine(session.frontend, kNoPairMessage);
  AppendLogLine(session.frontend, Summary(summary, method));
  AppendLogLine(session.frontend, "Ready");
}

PairSources Every(std::string_view source) { return PairSources(source); }

// Both two-predictor pipelines: the scanner's pairs first, then the site
// finder's, then the merge (scanner's pair file first).
void MapBoth(Session& session, const std::filesystem::path& targetScanOutput,
             const std::filesystem::path& mirandaOutput, const std::filesystem::path& referenceList,
             const std::filesystem::path& diseaseSets, bool bShowRows, bool bDropFirstChar, std::string_view method,
             void (*merge)(const std::filesystem::path&, const std::filesystem::path&, const std::filesystem::path&,
                           std::stop_token),
             const std::function<PairSources()>& sources) {
  RunPipeline(
      session, diseaseSets, bShowRows, method,
      [&] {
        const auto mirandaPairs = session.Work(paths::kMirandaPairs);
        const auto targetScanPairs = session.Work(paths::kTargetScanPairs);
        ExtractMirandaPairs(mirandaOutput, mirandaPairs, session.stop);
        ExtractTargetScanPairs(targetScanOutput, targetScanPairs, referenceList, true, false, bDropFirstChar,
                               session.stop);
        merge(mirandaPairs, targetScanPairs, session.Work(paths::kGroupedPairs), session.stop);
      },
      sources);
}

}  // namespace

void MapTargetScanOnly(Session& session, const std::filesystem::path& targetScanOutput,
                       const std::filesystem::path& referenceList, const std::filesystem::path& diseaseSets,
                       bool bShowRows, bool bDropFirstChar) {
  RunPipeline(
      session, diseaseSets, bShowRows, "TargetScan only",
      [&] {
        const auto pairs = session.Work(paths::kPairs);
        ExtractTargetScanPairs(targetScanOutput, pairs, referenceList, true, false, bDropFirstChar, session.stop);
        GroupPairs(pairs, session.Work(paths::kGroupedPairs), session.stop);
      },
      [] { return Every(PairSources::kTargetScan); });
}

void MapMirandaOnly(Session& session, const std::filesystem::path& mirandaOutput,
                    const std::filesystem::path& /*referenceList*/, const std::filesystem::path& diseaseSets,
                    bool bShowRows, bool /*bDropFirstChar*/) {
  RunPipeline(
      session, diseaseSets, bShowRows, "miRanda only",
      [&] {
        const auto pairs = session.Work(paths::kPairs);
        ExtractMirandaPairs(mirandaOutput, pairs, session.stop);
        GroupPairs(pairs, session.Work(paths::kGroupedPairs), session.stop);
      },
      [] { return Every(PairSources::kMiranda); });
}

void MapBothUnion(Session& session, const std::filesystem::path& targetScanOutput,
                  const std::filesystem::path& mirandaOutput, const std::filesystem::path& referenceList,
                  const std::filesystem::path& diseaseSets, bool bShowRows, bool bDropFirstChar) {
  MapBoth(session, targetScanOutput, mirandaOutput, referenceList, diseaseSets, bShowRows, bDropFirstChar,
          "both (union)", MergePairsUnion, [&] {
            return PairSources(session.Work(paths::kTargetScanPairs), session.Work(paths::kMirandaPairs), session.stop);
          });
}

void MapBothIntersection(Session& session, const std::filesystem::path& targetScanOutput,
                         const std::filesystem::path& mirandaOutput, const std::filesystem::path& referenceList,
                         const std::filesystem::path& diseaseSets, bool bShowRows, bool bDropFirstChar) {
  MapBoth(session, targetScanOutput, mirandaOutput, referenceList, diseaseSets, bShowRows, bDropFirstChar,
          "both (intersection)", MergePairsIntersection, [] { return Every(PairSources::kBoth); });
}

void RunMapping(Session& session, PredictionOption option) {
  session.BeginStage(stages::kMapping);
  const auto targetScan = session.Work(paths::kTargetScanOutput);
  const auto miranda = session.Work(paths::kMirandaOutput);
  const auto reference = session.Collection().Path(paths::kReferenceMirnas);
  const auto diseases = session.Collection().Path(paths::kDiseaseSets);
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
