#pragma once

#include <filesystem>

namespace velmora {

// Collapses each run of consecutive grouped-pair lines with the same
// identifier into one line: identifier, then TAB and each name, then LF.
// An empty input gives an empty set file.
void WriteLncMirSets(const std::filesystem::path& groupedPairs, const std::filesystem::path& setFile,
                     bool stopAtLineFeed);

}  // namespace velmora
