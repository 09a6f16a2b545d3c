// The local alignment of one miRNA with one target, and its hits.

#include "predictors/scanner.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <limits>

#include "predictors/rna_fold.h"

namespace velmora::scanner {
namespace {

constexpr int kGapOpen = -9;
constexpr int kGapExtend = -4;
constexpr int kScale = 4;
constexpr int kDiagonalSpread = 6;  // candidates this close to a better one's diagonal fall
constexpr int kMaxOverlap = 5;      // target nucleotides a hit may share with a better one
constexpr int kNone = std::numeric_limits<int>::min() / 4;

enum Base : std::uint8_t { A, C, G, U, Other };

constexpr std::array<Base, 256> MakeCodes() {
  std::array<Base, 256> codes{};
  codes.fill(Other);
  for (auto [letter, base] : {std::pair{'A', A}, {'C', C}, {'G', G}, {'T', U}, {'U', U}}) {
    codes[static_cast<unsigned char>(letter)] = base;
    codes[static_cast<unsigned char>(letter - 'A' + 'a')] = base;
  }
  return codes;
}
constexpr auto kCodes = MakeCodes();

Base Code(char letter) { return kCodes[static_cast<unsigned char>(letter)]; }

bool WatsonCrick(Base x, Base y) { return (x == A && y == U) || (x == U && y == A) || (x == G && y == C) || (x == C && y == G); }
bool Wobble(Base x, Base y) { return (x == G && y == U) || (x == U && y == G); }

int PairScore(Base mirna, Base target) {
  if (WatsonCrick(mirna, target)) return 5;
  if (Wobble(mirna, target)) return 1;
  if (mirna == Other || target == Other) return -1;
  return -3;
}

enum State : std::uint8_t { kPair = 0, kTargetOnly = 1, kMirnaOnly = 2, kZero = 3 };
constexpr std::uint8_t kTargetOnlyExtends = 4;  // the unpaired-target state came from itself
constexpr std::uint8_t kMirnaOnlyExtends = 8;   // the unpaired-miRNA state came from itself

struct Candidate {
  int score, row, column;
};

// The rows run over the reversed miRNA: row i (1-based) holds miRNA
// position n - i + 1. Scores are laid out by target base, then row, so one
// column of the alignment reads one contiguous run.
struct Rows {
  int n;
  std::vector<Base> base;                 // by row
  std::array<std::vector<int>, 5> score;  // pair score by target base, then row
  std::vector<int> open, extend;          // unpaired-target gap costs by row
  std::vector<int> mirnaOpen, mirnaExtend;  // unpaired-miRNA gap costs by row; kNone where not allowed

  explicit Rows(const std::string& mirna) : n(static_cast<int>(mirna.size())) {
    const auto size = static_cast<std::size_t>(n) + 1;
    base.resize(size);
    for (auto& row : score) row.assign(size, 0);
    open.assign(size, kNone);
    extend.assign(size, kNone);
    mirnaOpen.assign(size, kNone);
    mirnaExtend.assign(size, kNone);
    for (int i = 1; i <= n; ++i) {
      const int position = n - i + 1;
      const bool seed = position >= 2 && position <= 8;
      const bool silent = position == 1 || position == n - 1 || position == n;
      const int scale = seed ? kScale : 1;
      base[i] = Code(mirna[static_cast<std::size_t>(position - 1)]);
      for (int t = 0; t < 5; ++t) score[t][i] = silent ? 0 : PairScore(base[i], static_cast<Base>(t)) * scale;
      open[i] = kGapOpen * scale;
      extend[i] = kGapExtend * scale;
      if (!seed && i > 1) {
        mirnaOpen[i] = kGapOpen;
        mirnaExtend[i] = kGapExtend;
      }
    }
  }
};

// One pass of the three-state local alignment: the state of every cell
// (row-major) and the cells that may end a hit.
struct Matrix {
  int n, m;
  std::uint8_t* state;  // (n + 1) * (m + 1) cells, reused by the thread's next pair
  std::vector<Candidate> candidates;

  std::uint8_t At(int i, int j) const { return state[static_cast<std::size_t>(i) * (m + 1) + j]; }
};

// Row by row, so that the pair, unpaired-miRNA and cell steps run over
// whole rows (the compiler vectorises them); only the unpaired-target state
// runs along the row one cell after the other.
Matrix Align(const Rows& rows, const std::vector<Base>& target) {
  const int n = rows.n;
  const int m = static_cast<int>(target.size()) - 1;
  const auto width = static_cast<std::size_t>(m) + 1;
  thread_local std::vector<std::uint8_t> states;
  states.resize(std::max(states.size(), width * (n + 1)));
  Matrix matrix{n, m, states.data(), {}};
  // Row i - 1 and row i of each state, indexed by target position (0 is the border).
  std::vector<int> cellAbove(width, 0), pairAbove(width, kNone), mirnaOnlyAbove(width, kNone);
  std::vector<int> cell(width, 0), pair(width, kNone), mirnaOnly(width, kNone), targetOnly(width, kNone);
  std::vector<std::uint8_t> flags(width);
  std::vector<int> rowScore(width);
  for (int i = 1; i <= n; ++i) {
    const int* score = nullptr;
    for (int j = 1; j <= m; ++j) {
      score = rows.score[target[static_cast<std::size_t>(j)]].data();
      rowScore[static_cast<std::size_t>(j)] = score[i];
    }
    const int mirnaOpen = rows.mirnaOpen[i], mirnaExtend = rows.mirnaExtend[i];
    for (std::size_t j = 1; j < width; ++j) {
      pair[j] = cellAbove[j - 1] + rowScore[j];
      const int umOpen = pairAbove[j] + mirnaOpen;
      const int umExtend = mirnaOnlyAbove[j] + mirnaExtend;
      mirnaOnly[j] = std::max(umOpen, umExtend);
      flags[j] = umExtend > umOpen ? kMirnaOnlyExtends : 0;
    }
    // Unpaired target at j: max over k < j of pair[k] + open + extend (j - 1 - k),
    // a running maximum of pair[k] + open - extend k, shifted back by extend (j - 1).
    const int open = rows.open[i], extend = rows.extend[i];
    int running = kNone;
    for (std::size_t j = 2; j < width; ++j) {
      const auto k = static_cast<int>(j) - 1;
      running = std::max(running, pair[j - 1] + open - extend * k);
      targetOnly[j] = running + extend * k;
    }
    for (std::size_t j = 2; j < width; ++j) {
      flags[j] |= targetOnly[j - 1] + extend > pair[j - 1] + open ? kTargetOnlyExtends : 0;
    }
    std::uint8_t* rowStates = &matrix.state[static_cast<std::size_t>(i) * width];
    int rowBest = 0;
    for (std::size_t j = 1; j < width; ++j) {
      const int p = pair[j], ut = targetOnly[j], um = mirnaOnly[j];
      int best = p;
      std::uint8_t state = kPair;
      state = ut > best ? std::uint8_t{kTargetOnly} : state;
      best = std::max(best, ut);
      state = um > best ? std::uint8_t{kMirnaOnly} : state;
      best = std::max(best, um);
      state = best <= 0 ? std::uint8_t{kZero} : state;
      best = std::max(best, 0);
      cell[j] = best;
      rowStates[j] = static_cast<std::uint8_t>(state | flags[j]);
      rowBest = std::max(rowBest, best);
    }
    if (rowBest >= kScoreThreshold) {
      for (int j = 1; j <= m; ++j) {
        if (cell[static_cast<std::size_t>(j)] >= kScoreThreshold && (rowStates[j] & 3) != kTargetOnly) {
          matrix.candidates.push_back({cell[static_cast<std::size_t>(j)], i, j});
        }
      }
    }
    std::swap(cell, cellAbove);
    std::swap(pair, pairAbove);
    std::swap(mirnaOnly, mirnaOnlyAbove);
  }
  return matrix;
}

struct Trace {
  std::vector<Column> columns;  // 5' to 3' on the target
  int firstRow, lastRow, firstTarget, lastTarget;
};

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

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

Hit Describe(const Trace& trace, int score, const std::string& mirna, const std::string& target) {
  const int n = static_cast<int>(mirna.size());
  const int m = static_cast<int>(target.size());
  Hit hit;
  hit.score = score;
  const int fivePrime = n - trace.lastRow + 1;   // 5'-most aligned miRNA position
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
    window += inside ? targetAt(opposite) : 'N';
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
      window += targetAt(t);
      --position, ++t;
    } else if (column == Column::TargetOnly) {
      query += '-';
      ref += Upper(targetAt(t));
      bar += ' ';
      window += targetAt(t);
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
  }
  hit.identity = 100.0 * watsonCrick / hit.length;
  hit.similarity = 100.0 * (watsonCrick + wobble) / hit.length;
  hit.queryLine = query;
  hit.barLine = bar;
  hit.refLine = ref;
  hit.energy = fold::HitEnergy(mirna, window);
  return hit;
}

}  // namespace

std::vector<Hit> ScanPair(const std::string& mirna, const std::string& target) {
  const Rows rows(mirna);
  std::vector<Base> codes(target.size() + 1, Other);
  for (std::size_t j = 0; j < target.size(); ++j) codes[j + 1] = Code(target[j]);
  Matrix matrix = Align(rows, codes);
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
      return std::min(kept.alignEnd, trace.lastTarget) - std::max(kept.alignStart, trace.firstTarget) + 1 > kMaxOverlap;
    });
    if (!overlaps) hits.push_back(Describe(trace, candidates[k].score, mirna, target));
  }
  return hits;
}

}  // namespace velmora::scanner
