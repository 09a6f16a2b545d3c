// The hits of one miRNA-target pair and their description.

#include "predictors/scan_pair.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <set>

#include "predictors/rna_fold.h"

namespace velmora::scanner {
namespace {

constexpr int kDiagonalSpread = 6;  // candidates this close to a better one's diagonal fall
constexpr int kMaxOverlap = 5;      // target nucleotides a hit may share with a better one

// The aligned target regions of the kept hits, by first position.
class KeptRegions {
 public:
  bool Overlaps(int first, int last) const {
    for (auto it = byFirst_.lower_bound(first - longest_); it != byFirst_.end() && it->first <= last; ++it) {
      if (OverlapsTooMuch(it->first, it->second, first, last)) return true;
    }
    return false;
  }
  void Add(int first, int last) {
    byFirst_.emplace(first, last);
    longest_ = std::max(longest_, last - first + 1);
  }

 private:
  std::multimap<int, int> byFirst_;
  int longest_ = 0;
};

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

Hit Describe(const Trace& trace, int score, const std::string& mirna, const std::string& target) {
  const int n = static_cast<int>(mirna.size());
  const int m = static_cast<int>(target.size());
  Hit hit;
  hit.score = score;
  const int fivePrime = n - trace.lastRow + 1;    // 5'-most aligned miRNA position
  const int threePrime = n - trace.firstRow + 1;  // 3'-most aligned miRNA position
  hit.queryStart = fivePrime;
  hit.queryEnd = threePrime + 1;
  hit.alignStart = trace.firstTarget;
  hit.alignEnd = trace.lastTarget;
  const int threePrimeTail = n - threePrime;  // unaligned miRNA nucleotides on each side
  const int fivePrimeTail = fivePrime - 1;
  hit.refStart = std::max(1, trace.firstTarget - threePrimeTail);
  hit.refEnd = std::min(m, trace.lastTarget + fivePrimeTail);
  hit.length = static_cast<int>(trace.columns.size());

  auto mirnaAt = [&](int position) { return mirna[static_cast<std::size_t>(position - 1)]; };
  auto targetAt = [&](int position) { return target[static_cast<std::size_t>(position - 1)]; };
  std::string query, bar, ref;
  std::string window;  // the Ref line's letters, N beyond the target's ends
  auto unaligned = [&](int opposite) {
    const bool inside = opposite >= 1 && opposite <= m;
    ref += inside ? Lower(targetAt(opposite)) : '-';
    window += inside ? Lower(targetAt(opposite)) : 'N';
  };
  for (int position = n; position > threePrime; --position) {
    query += Lower(mirnaAt(position));
    unaligned(trace.firstTarget - (position - threePrime));
    bar += ' ';
  }
  int position = threePrime;
  int t = trace.firstTarget;
  int watsonCrick = 0, wobble = 0;
  for (Column column : trace.columns) {
    if (column == Column::Pair) {
      const Base x = Code(mirnaAt(position)), y = Code(targetAt(t));
      query += Upper(mirnaAt(position));
      ref += Upper(targetAt(t));
      const bool wc = WatsonCrick(x, y);
      bar += wc ? '|' : Wobble(x, y) ? ':' : ' ';
      watsonCrick += wc;
      wobble += Wobble(x, y);
      window += Upper(targetAt(t));
      --position, ++t;
    } else if (column == Column::TargetOnly) {
      query += '-';
      ref += Upper(targetAt(t));
      bar += ' ';
      window += Upper(targetAt(t));
      ++t;
    } else {
      query += Upper(mirnaAt(position));
      ref += '-';
      bar += ' ';
      --position;
    }
  }
  for (int p = fivePrime - 1; p >= 1; --p) {
    query += Lower(mirnaAt(p));
    unaligned(trace.lastTarget + (fivePrime - p));
    bar += ' ';
  }
  hit.identity = 100.0 * watsonCrick / hit.length;
  hit.similarity = 100.0 * (watsonCrick + wobble) / hit.length;
  hit.queryLine = query;
  hit.barLine = bar;
  hit.refLine = ref;
  // The fold reads the letters as the Query and Ref lines write them: a
  // tetraloop earns its bonus only in upper case, without T.
  std::string written;
  std::copy_if(query.rbegin(), query.rend(), std::back_inserter(written), [](char c) { return c != '-'; });
  hit.energy = fold::HitEnergy(written, window);
  return hit;
}

bool OverlapsTooMuch(int keptFirst, int keptLast, int first, int last) {
  return std::min(keptLast, last) - std::max(keptFirst, first) + 1 > kMaxOverlap;
}

std::vector<Hit> SelectHits(const std::string& mirna, const std::string& target, const Rows& rows,
                            const std::vector<Base>& codes, std::vector<Candidate>& candidates) {
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& x, const Candidate& y) {
    if (x.score != y.score) return x.score > y.score;
    if (x.column != y.column) return x.column < y.column;
    return x.row < y.row;
  });
  std::set<int> standing;  // diagonals of the candidates still standing
  KeptRegions kept;
  std::vector<Hit> hits;
  for (const Candidate& candidate : candidates) {
    const int diagonal = candidate.column - candidate.row;
    const auto near = standing.lower_bound(diagonal - kDiagonalSpread);
    if (near != standing.end() && *near <= diagonal + kDiagonalSpread) continue;
    standing.insert(diagonal);
    const Trace trace = TraceBack(rows, codes, candidate);
    if (kept.Overlaps(trace.firstTarget, trace.lastTarget)) continue;
    kept.Add(trace.firstTarget, trace.lastTarget);
    hits.push_back(Describe(trace, candidate.score, mirna, target));
  }
  return hits;
}

std::vector<Hit> ScanPair(const std::string& mirna, const std::string& target) {
  const Rows rows(mirna);
  const std::vector<Base> codes = TargetCodes(target);
  std::vector<std::vector<Candidate>> candidates;
  LaneGroup({&rows}).Sweep(codes, candidates);
  return SelectHits(mirna, target, rows, codes, candidates[0]);
}

}  // namespace velmora::scanner
