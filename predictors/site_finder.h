#pragma once

// The seed-match site finder shipped as perlbin/targetscan_60: reads miRNA
// families (id, seed, species) and aligned UTRs (gene, species, sequence),
// and writes every 8mer-1a, 7mer-m8 and 7mer-1a site in TargetScan 6.0's
// tab-separated output format.

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>

#include "core/line_reader.h"
#include "predictors/progress_report.h"

namespace velmora::sitefinder {

struct Families {
  std::map<std::string, std::string> seeds;               // family id -> seed (U for T), byte order of ids
  std::set<std::pair<std::string, std::string>> species;  // (family id, species id) lines present
};

Families ReadFamilies(const std::string& text);

// Reads the UTR lines (ended by LF; a CR stays in the line) from `utrs` and writes the whole output file to `out`,
// one gene block at a time: header, then one line per site. `progress`, when
// given, counts the bytes of the UTR lines read.
void FindSites(const Families& families, LineFile& utrs, std::ostream& out,
               predictors::ProgressReport* progress = nullptr);

}  // namespace velmora::sitefinder
