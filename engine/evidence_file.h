#pragma once

// The evidence file of a run, result_mirnas.tsv: one line per line of
// result.xls, in the same order, naming the shared miRNAs behind the
// association, the predictor that found each and the false discovery rate.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/pair_sources.h"

namespace velmora {

inline constexpr std::string_view kEvidenceHeader = "LncName\tDisease\tmiRNAs\tFound by\tFDR\n";

struct Evidence {
  std::string lnc, disease;
  std::vector<std::string> mirnas, foundBy;  // foundBy[i] names the source of mirnas[i]
  std::string fdr;
};

// One line of the file, LF-ended: lists comma-separated, the FDR in the
// general number form.
std::string EvidenceLine(std::string_view lnc, std::string_view disease, const std::vector<std::string_view>& mirnas,
                         const PairSources& sources, double fdr);

// The lines of an evidence file after its header. A file that cannot be read
// throws RunFailure; a line with fewer than five fields is skipped.
std::vector<Evidence> ReadEvidenceFile(const std::filesystem::path& path);

}  // namespace velmora
