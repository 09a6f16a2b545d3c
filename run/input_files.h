#pragma once

// The two predictor input files written from the input box's text.

#include <filesystem>
#include <string_view>

namespace velmora {

// The scanner's input: the whole text upper-cased, then CR LF.
void WriteMirandaInput(const std::filesystem::path& path, std::string_view text);

// The site finder's input: one line per FASTA record, name TAB "9606" TAB
// sequence CR LF, upper-cased. Lines are split at LF and trimmed of spaces
// only, so CRs of CR LF text stay in names and sequences.
void WriteTargetScanInput(const std::filesystem::path& path, std::string_view text);

}  // namespace velmora
