#include "engine/run_requirements.h"

#include "core/installation.h"
#include "core/paths.h"
#include "engine/reference_manifest.h"

namespace velmora {

RunRequirements MappingRequirements(PredictionOption option) {
  RunRequirements needs{{paths::kFactorials, paths::kDiseaseSets}, {}};
  // Only the site finder's pairs are filtered by the reference list.
  if (UsesTargetScan(option)) needs.data.push_back(paths::kReferenceMirnas);
  return needs;
}

RunRequirements PredictRequirements(PredictionOption option) {
  RunRequirements needs{{paths::kReferenceMirnas, paths::kDiseaseSets, paths::kFactorials}, {}};
  if (UsesTargetScan(option)) {
    needs.data.push_back(paths::kSeedFamilies);
    needs.programs.push_back(paths::kTargetScanProgram);
  }
  if (UsesMiranda(option)) {
    needs.data.push_back(paths::kMirnaSequences);
    needs.programs.push_back(paths::kMirandaProgram);
  }
  return needs;
}

void CheckRequirements(const std::filesystem::path& home, const ReferenceCollection& collection,
                       const RunRequirements& requirements) {
  for (std::string_view relative : requirements.data) RequireFiles(collection.folder, {paths::FileName(relative)});
  RequirePrograms(home, requirements.programs);
  VerifyReferenceData(collection, requirements.data);
}

}  // namespace velmora
