#pragma once

// The two predictor input files written from the input box's text.

#include <filesystem>
#include <string_view>

namespace velmora {

// The scanner's input: the whole text upper-cased, then CR LF.
void WriteMirandaInput(const std::filesystem::path& path, std::string_view text);

// The site finder's input: one line per FASTA record, name TAB "9606" TAB
// sequence CR LF, upper-cased. The name is the header line up to its first
// space, TAB or CR. Lines are split at LF and trimmed of spaces only, so the
// CRs of CR LF text stay in the sequences.
void WriteTargetScanInput(const std::filesystem::path& path, std::string_view text);

}  // namespace velmora
