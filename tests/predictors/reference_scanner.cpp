// The first scanner's alignment, traceback and hit selection, unchanged
// but for the shared scoring rows, description and overlap rule.

#include "tests/predictors/reference_scanner.h"

#include <algorithm>
#include <cstdint>

#include "predictors/scan_pair.h"

namespace velmora::test {
namespace {

using namespace velmora::scanner;

constexpr int kDiagonalSpread = 6;

enum State : std::uint8_t { kPair = 0, kTargetOnly = 1, kMirnaOnly = 2, kZero = 3 };
constexpr std::uint8_t kTargetOnlyExtends = 4;  // the unpaired-target state came from itself
constexpr std::uint8_t kMirnaOnlyExtends = 8;   // the unpaired-miRNA state came from itself

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
