// The first scanner's alignment, traceback and hit selection over the full
// matrix, cell by cell, sharing only the scoring rows, description and
// overlap rule with the scanner.

#include <algorithm>
#include <cstdint>

#include "predictors/scan_pair.h"
#include "tests/predictors/references.h"

namespace velmora::test {
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
