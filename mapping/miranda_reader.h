#pragma once

#include <filesystem>
#include <stop_token>
#include <string_view>

namespace velmora {

// The last line of every complete scanner output.
inline constexpr std::string_view kClosingLine = "Scan Complete";

// Writes one pair line (">" sequence name TAB normalised miRNA CR LF) for
// every "Performing Scan:" line of the scanner's output; CR LF reads as LF.
// An output whose last line is not the closing line was cut short, and a
// scan line that names no target after "vs" is no scanner's: RunFailure
// names the file (and the line), and no pair file is written.
void ExtractMirandaPairs(const std::filesystem::path& mirandaOutput, const std::filesystem::path& pairFile,
                         std::stop_token stop = {});

}  // namespace velmora
