#pragma once

// The two predictor input files, written from the same checked records.

#include <filesystem>
#include <vector>

#include "engine/fasta_input.h"

namespace velmora {

// The scanner's input: per record ">" NAME [" " DESCRIPTION], CR LF, the
// sequence, CR LF; name and description upper-cased.
void WriteMirandaInput(const std::filesystem::path& path, const std::vector<LncRnaRecord>& records);

// The site finder's input: per record ">" NAME TAB "9606" TAB sequence CR
// LF, the name upper-cased as the scanner reports it, so that both
// predictors name the record alike.
void WriteTargetScanInput(const std::filesystem::path& path, const std::vector<LncRnaRecord>& records);

}  // namespace velmora
