#pragma once

// The seed-match site finder shipped as perlbin/targetscan_60: reads miRNA
// families (id, seed, species) and aligned UTRs (gene, species, sequence),
// and writes every 8mer-1a, 7mer-m8 and 7mer-1a site in TargetScan 6.0's
// tab-separated output format.

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velmora::sitefinder {

struct Families {
  std::map<std::string, std::string> seeds;  // family id -> seed (U for T), byte order of ids
  std::set<std::pair<std::string, std::string>> species;  // (family id, species id) lines present
};

struct Utr {
  std::string species;
  std::string sequence;  // aligned: '-' is a gap
};

struct GeneBlock {
  std::string gene;
  std::vector<Utr> utrs;  // one per species, in file order
};

Families ReadFamilies(const std::string& text);
std::vector<GeneBlock> ReadUtrs(const std::string& text);

// The whole output file: header, then one line per site.
std::string FindSites(const Families& families, const std::vector<GeneBlock>& genes);

}  // namespace velmora::sitefinder
