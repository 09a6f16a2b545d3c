#pragma once

// What a run needs from the installation, in one place for the engine, the
// command line and the window, so that they cannot disagree.

#include <filesystem>
#include <string_view>
#include <vector>

#include "engine/pipelines.h"
#include "engine/reference_manifest.h"

namespace velmora {

struct RunRequirements {
  std::vector<std::string_view> data;      // reference files, as the installation keeps them (lib/...)
  std::vector<std::string_view> programs;  // predictors, relative to the installation folder
};

// A whole run of `option`: its reference files and the predictors it starts.
RunRequirements PredictRequirements(PredictionOption option);

// The mapping of `option` alone, on predictor outputs already there.
RunRequirements MappingRequirements(PredictionOption option);

// Throws RunFailure naming the first reference file missing from
// `collection`, a program of the installation `home` that is missing or
// cannot be run, or a reference file that differs from the collection's MANIFEST.
void CheckRequirements(const std::filesystem::path& home, const ReferenceCollection& collection,
                       const RunRequirements& requirements);

}  // namespace velmora
