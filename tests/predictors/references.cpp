// The predictors as they were first written: clear, slow, and the references
// the fast ones are compared with. The site finder searches each pattern in
// the whole file; the scanner aligns over the full matrix, cell by cell,
// sharing only the scoring rows, description and overlap rule with the fast one.

#include "tests/predictors/references.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "predictors/scan_pair.h"

namespace velmora::test {
namespace {

struct Families {
  std::map<std::string, std::string> seeds;
  std::set<std::pair<std::string, std::string>> species;
};

struct Utr {
  std::string species;
  std::string sequence;
};

struct GeneBlock {
  std::string gene;
  std::vector<Utr> utrs;
};

constexpr char kHeader[] =
    "a_Gene_ID\tmiRNA_family_ID\tspecies_ID\tMSA_start\tMSA_end\tUTR_start\tUTR_end\tGroup_num\tSite_type\t"
    "miRNA in this species\tGroup_type\tSpecies_in_this_group\tSpecies_in_this_group_with_this_site_type\n";

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
    fields.push_back(text.substr(start, end - start));
  }
  fields.push_back(text.substr(start));
  return fields;
}

char Complement(char base) {
  const std::string_view bases = "AUCG", partners = "UAGC";
  const std::size_t at = bases.find(base);
  return at == std::string_view::npos ? '\0' : partners[at];  // '\0' never matches
}

struct Site {
  std::string sortKey;  // "SPECIES::MSA_START::MSA_END"
  std::string species;
  int msaStart, msaEnd, utrStart, utrEnd;
  const char* type;
};

// The nucleotides of an aligned sequence, gaps removed; other characters
// stay as positions that match nothing.
struct Ungapped {
  std::string bases;
  std::vector<int> alignedPosition;  // 1-based position in the aligned sequence

  explicit Ungapped(const std::string& aligned) {
    for (std::size_t i = 0; i < aligned.size(); ++i) {
      if (aligned[i] == '-') continue;
      bases.push_back(aligned[i] == 'T' ? 'U' : aligned[i]);
      alignedPosition.push_back(static_cast<int>(i) + 1);
    }
  }
};

void FindMatches(const Ungapped& utr, const std::string& pattern, const std::string& species, const char* type,
                 int extraLength, std::vector<Site>& sites) {
  for (std::size_t at = utr.bases.find(pattern); at != std::string::npos; at = utr.bases.find(pattern, at + 1)) {
    const int first = utr.alignedPosition[at];
    const int last = utr.alignedPosition[at + pattern.size() - 1];
    const int utrStart = static_cast<int>(at) + 1;
    sites.push_back({species + "::" + std::to_string(first) + "::" + std::to_string(last), species, first, last,
                     utrStart, utrStart + 6 + extraLength, type});
  }
}

void SitesOfFamily(const std::string& seed, const Utr& utr, const Ungapped& bases, std::vector<Site>& sites) {
  if (seed.size() != 7) return;
  std::string m8(7, '\0');
  for (std::size_t i = 0; i < 7; ++i) m8[6 - i] = Complement(seed[i]);
  if (m8.find('\0') != std::string::npos) return;
  std::vector<Site> eight, m8Sites, a1Sites;
  FindMatches(bases, m8 + "A", utr.species, "8mer-1a", 1, eight);
  FindMatches(bases, m8, utr.species, "7mer-m8", 0, m8Sites);
  FindMatches(bases, m8.substr(1) + "A", utr.species, "7mer-1a", 0, a1Sites);
  // An 8mer replaces the 7mer-m8 starting at its first and the 7mer-1a
  // ending at its last nucleotide.
  auto coveredBy8mer = [&](const Site& site, bool byStart) {
    return std::any_of(eight.begin(), eight.end(),
                       [&](const Site& e) { return byStart ? e.msaStart == site.msaStart : e.msaEnd == site.msaEnd; });
  };
  sites.insert(sites.end(), eight.begin(), eight.end());
  for (const Site& s : m8Sites) {
    if (!coveredBy8mer(s, true)) sites.push_back(s);
  }
  for (const Site& s : a1Sites) {
    if (!coveredBy8mer(s, false)) sites.push_back(s);
  }
}

Families ReadFamilies(const std::string& text) {
  Families families;
  for (std::string line : Split(text, '\n')) {
    std::erase(line, '\r');
    if (line.empty()) continue;
    const auto fields = Split(line, '\t');
    if (fields.size() < 3) continue;
    std::string seed = fields[1];
    std::replace(seed.begin(), seed.end(), 'T', 'U');
    families.seeds[fields[0]] = seed;  // a repeated id: the last seed wins
    families.species.emplace(fields[0], fields[2]);
  }
  return families;
}

std::vector<GeneBlock> ReadUtrs(const std::string& text) {
  std::vector<GeneBlock> genes;
  for (const std::string& line : Split(text, '\n')) {
    if (line.empty()) continue;
    const auto fields = Split(line, '\t');
    if (fields.size() < 3) continue;
    if (genes.empty() || genes.back().gene != fields[0]) genes.push_back({fields[0], {}});
    auto& utrs = genes.back().utrs;
    const auto same = std::find_if(utrs.begin(), utrs.end(), [&](const Utr& u) { return u.species == fields[1]; });
    if (same != utrs.end()) {
      same->sequence = fields[2];
    } else {
      utrs.push_back({fields[1], fields[2]});
    }
  }
  return genes;
}

std::string FindSites(const Families& families, const std::vector<GeneBlock>& genes) {
  std::string out = kHeader;
  long group = 0;
  for (const GeneBlock& gene : genes) {
    std::vector<Ungapped> bases;
    for (const Utr& utr : gene.utrs) bases.emplace_back(utr.sequence);
    for (const auto& [family, seed] : families.seeds) {
      std::vector<Site> sites;
      for (std::size_t u = 0; u < gene.utrs.size(); ++u) SitesOfFamily(seed, gene.utrs[u], bases[u], sites);
      std::stable_sort(sites.begin(), sites.end(), [](const Site& x, const Site& y) { return x.sortKey < y.sortKey; });
      for (const Site& s : sites) {
        const char* inSpecies = families.species.contains({family, s.species}) ? "x" : " ";
        out += gene.gene + '\t' + family + '\t' + s.species + '\t' + std::to_string(s.msaStart) + '\t' +
               std::to_string(s.msaEnd) + '\t' + std::to_string(s.utrStart) + '\t' + std::to_string(s.utrEnd) + '\t' +
               std::to_string(++group) + '\t' + s.type + '\t' + inSpecies + '\t' + s.type + '\t' + s.species + '\n';
      }
    }
  }
  return out;
}

}  // namespace

std::string ReferenceSites(const std::string& families, const std::string& utrs) {
  return FindSites(ReadFamilies(families), ReadUtrs(utrs));
}

namespace {

using namespace velmora::scanner;

constexpr int kDiagonalSpread = 6;

enum State : std::uint8_t { kPair = 0, kTargetOnly = 1, kMirnaOnly = 2, kZero = 3 };
constexpr std::uint8_t kTargetOnlyExtends = 4;  // the unpaired-target state came from itself
constexpr std::uint8_t kMirnaOnlyExtends = 8;   // the unpaired-miRNA state came from itself

// The three-state local alignment: the state of every cell (row-major) and
// the cells that may end a hit.
struct Matrix {
  int m;
  std::vector<std::uint8_t> state;
  std::vector<Candidate> candidates;

  std::uint8_t At(int i, int j) const { return state[static_cast<std::size_t>(i) * (m + 1) + j]; }
};

Matrix Align(const Rows& rows, const std::vector<Base>& target) {
  const int m = static_cast<int>(target.size()) - 1;
  const std::size_t cells = static_cast<std::size_t>(rows.n + 1) * (m + 1);
  Matrix matrix{m, std::vector<std::uint8_t>(cells), {}};
  std::vector<int> cell(cells, 0), pair(cells, kNone), mirnaOnly(cells, kNone);
  for (int i = 1; i <= rows.n; ++i) {
    int targetOnly = kNone;  // runs along the row
    for (int j = 1; j <= m; ++j) {
      const std::size_t at = static_cast<std::size_t>(i) * (m + 1) + j, up = at - (m + 1);
      std::uint8_t flags = 0;
      if (j > 1) {
        const int open = pair[at - 1] + rows.open[i], extend = targetOnly + rows.extend[i];
        targetOnly = std::max(open, extend);
        flags |= extend > open ? kTargetOnlyExtends : 0;
      }
      pair[at] = cell[up - 1] + rows.score[target[static_cast<std::size_t>(j)]][static_cast<std::size_t>(i)];
      const int umOpen = pair[up] + rows.mirnaOpen[i], umExtend = mirnaOnly[up] + rows.mirnaExtend[i];
      mirnaOnly[at] = std::max(umOpen, umExtend);
      flags |= umExtend > umOpen ? kMirnaOnlyExtends : 0;
      // Ties go to the pair, then to the unpaired target.
      std::uint8_t state = kPair;
      int best = pair[at];
      if (targetOnly > best) state = kTargetOnly, best = targetOnly;
      if (mirnaOnly[at] > best) state = kMirnaOnly, best = mirnaOnly[at];
      if (best <= 0) state = kZero, best = 0;
      cell[at] = best;
      matrix.state[at] = static_cast<std::uint8_t>(state | flags);
      if (best >= kScoreThreshold && state != kTargetOnly) matrix.candidates.push_back({best, i, j});
    }
  }
  return matrix;
}

Trace TraceBack(const Matrix& matrix, const Candidate& end) {
  Trace trace{{}, end.row, end.row, end.column, end.column};
  int i = end.row, j = end.column;
  std::uint8_t state = matrix.At(i, j) & 3;
  for (;;) {
    const std::uint8_t flags = matrix.At(i, j);
    trace.firstRow = std::min(trace.firstRow, i);
    if (state == kPair) {
      trace.columns.push_back(Column::Pair);
      trace.firstTarget = j;
      if (i == 1 || j == 1 || (matrix.At(i - 1, j - 1) & 3) == kZero) break;
      state = matrix.At(i - 1, j - 1) & 3;
      --i, --j;
    } else if (state == kTargetOnly) {
      trace.columns.push_back(Column::TargetOnly);
      state = (flags & kTargetOnlyExtends) ? kTargetOnly : kPair;
      --j;
    } else {
      trace.columns.push_back(Column::MirnaOnly);
      state = (flags & kMirnaOnlyExtends) ? kMirnaOnly : kPair;
      --i;
    }
  }
  std::reverse(trace.columns.begin(), trace.columns.end());
  // The aligned target region ends at the last column that holds a target nucleotide.
  trace.lastTarget = trace.firstTarget - 1;
  for (Column column : trace.columns) trace.lastTarget += column != Column::MirnaOnly;
  return trace;
}

}  // namespace

std::vector<Hit> ReferenceScanPair(const std::string& mirna, const std::string& target) {
  const Rows rows(mirna);
  Matrix matrix = Align(rows, TargetCodes(target));
  auto& candidates = matrix.candidates;
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& x, const Candidate& y) {
    if (x.score != y.score) return x.score > y.score;
    if (x.column != y.column) return x.column < y.column;
    return x.row < y.row;
  });
  std::vector<bool> standing(candidates.size(), true);
  for (std::size_t k = 0; k < candidates.size(); ++k) {
    if (!standing[k]) continue;
    const int diagonal = candidates[k].column - candidates[k].row;
    for (std::size_t later = k + 1; later < candidates.size(); ++later) {
      if (standing[later] && std::abs(candidates[later].column - candidates[later].row - diagonal) <= kDiagonalSpread) {
        standing[later] = false;
      }
    }
  }
  std::vector<Hit> hits;
  for (std::size_t k = 0; k < candidates.size(); ++k) {
    if (!standing[k]) continue;
    const Trace trace = TraceBack(matrix, candidates[k]);
    const bool overlaps = std::any_of(hits.begin(), hits.end(), [&](const Hit& kept) {
      return OverlapsTooMuch(kept.alignStart, kept.alignEnd, trace.firstTarget, trace.lastTarget);
    });
    if (!overlaps) hits.push_back(Describe(trace, candidates[k].score, mirna, target));
  }
  return hits;
}

}  // namespace velmora::test
