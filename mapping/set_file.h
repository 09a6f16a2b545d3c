#pragma once

#include <filesystem>
#include <stop_token>

namespace velmora {

// Collapses each run of consecutive grouped-pair lines with the same
// identifier into one line: identifier, then TAB and each name, then LF.
// An empty input gives an empty set file.
void WriteLncMirSets(const std::filesystem::path& groupedPairs, const std::filesystem::path& setFile,
                     bool stopAtLineFeed, std::stop_token stop = {});

}  // namespace velmora
