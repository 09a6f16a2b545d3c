#pragma once

#include <cstddef>
#include <filesystem>
#include <stop_token>
#include <string_view>

namespace velmora {

// Most reference miRNAs the list may hold (empty lines count).
inline constexpr int kReferenceCapacity = 10000;

// The first line of every site finder output. It has 13 names, yet a site
// line has 12 fields: the format's header names one column more than its
// lines fill.
inline constexpr std::string_view kSiteFinderHeader =
    "a_Gene_ID\tmiRNA_family_ID\tspecies_ID\tMSA_start\tMSA_end\tUTR_start\tUTR_end\tGroup_num\tSite_type\t"
    "miRNA in this species\tGroup_type\tSpecies_in_this_group\tSpecies_in_this_group_with_this_site_type";
inline constexpr std::size_t kSiteFields = 12;

// Writes one pair line (identifier TAB normalised miRNA LF) for every site
// line of the site finder's output whose miRNA is on the reference list.
// With bDropFirstChar the first character of the miRNA column is dropped.
// The output must start with kSiteFinderHeader, and every line after it
// must be a site line of kSiteFields fields; every line, the last included,
// ends with its line end (CR LF reads as LF). Anything else (an empty file,
// another file, one cut short) throws RunFailure naming the file and line,
// and no pair file is written. A reference list longer than 10000 lines
// throws RunFailure. The switches
// are the design's (each file's line end, then bDropFirstChar), kept as it
// gives them though every pipeline passes true, false, true.
void ExtractTargetScanPairs(const std::filesystem::path& targetScanOutput, const std::filesystem::path& pairFile,
                            const std::filesystem::path& referenceList, bool outputStopAtLineFeed,
                            bool referenceStopAtLineFeed, bool bDropFirstChar, std::stop_token stop = {});

}  // namespace velmora
