#pragma once

#include <filesystem>
#include <stop_token>

namespace velmora {

// Writes one pair line (">" sequence name TAB normalised miRNA CR LF) for
// every "Performing Scan:" line of the scanner's output.
void ExtractMirandaPairs(const std::filesystem::path& mirandaOutput, const std::filesystem::path& pairFile,
                         std::stop_token stop = {});

}  // namespace velmora
