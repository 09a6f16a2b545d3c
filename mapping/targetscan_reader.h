#pragma once

#include <filesystem>
#include <stop_token>

namespace velmora {

// Most reference miRNAs the list may hold (empty lines count).
inline constexpr int kReferenceCapacity = 10000;

// Writes one pair line (identifier TAB normalised miRNA LF) for every data
// line of the site finder's output whose miRNA is on the reference list.
// With bDropFirstChar the first character of the miRNA column is dropped.
// A reference list longer than 10000 lines throws RunFailure. The switches
// are the design's (each file's line end, then bDropFirstChar), kept as it
// gives them though every pipeline passes true, false, true.
void ExtractTargetScanPairs(const std::filesystem::path& targetScanOutput, const std::filesystem::path& pairFile,
                            const std::filesystem::path& referenceList, bool outputStopAtLineFeed,
                            bool referenceStopAtLineFeed, bool bDropFirstChar, std::stop_token stop = {});

}  // namespace velmora
