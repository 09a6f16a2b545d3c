// The window is computed twice: once as if nothing left of it could score
// (every state at its border empty) and once as if everything there scored
// the most it possibly can. Every state of the true matrix lies between the
// two. Where both runs agree on a cell's choices and on the value of the
// state the trace is in, the true matrix agrees too; a trace that meets
// disagreement is redone in a window twice as wide. A window that starts at
// the target's first column has the true border and needs no check.

#include "predictors/window_trace.h"

#include <algorithm>
#include <cstdint>

namespace velmora::scanner {
namespace {

enum State : std::uint8_t { kPair = 0, kTargetOnly = 1, kMirnaOnly = 2, kZero = 3 };
constexpr std::uint8_t kTargetOnlyExtends = 4;  // the unpaired-target state came from itself
constexpr std::uint8_t kMirnaOnlyExtends = 8;   // the unpaired-miRNA state came from itself

struct Cell {
  int value[3];         // by State: pair, unpaired target, unpaired miRNA
  int best;             // floored at 0
  std::uint8_t choice;  // best State, and the extend flags
};

// Rows 0..lastRow and columns firstColumn-1..lastColumn; row 0 and the first
// column are the border.
class Window {
 public:
  Window(const Rows& rows, const std::vector<Base>& target, int lastRow, int firstColumn, int lastColumn,
         bool optimistic)
      : first_(firstColumn),
        width_(lastColumn - firstColumn + 2),
        cells_(static_cast<std::size_t>(lastRow + 1) * width_) {
    for (int j = first_ - 1; j <= lastColumn; ++j) At(0, j) = {{kNone, kNone, kNone}, 0, kZero};
    for (int i = 1; i <= lastRow; ++i) {
      const int most = optimistic ? rows.bestUpTo[static_cast<std::size_t>(i)] : 0;
      At(i, first_ - 1) = optimistic ? Cell{{most, most, kNone}, most, most > 0 ? kPair : kZero}
                                     : Cell{{kNone, kNone, kNone}, 0, kZero};
      for (int j = first_; j <= lastColumn; ++j) Fill(rows, target, i, j);
    }
  }

  const Cell& At(int i, int j) const { return cells_[static_cast<std::size_t>(i) * width_ + (j - first_ + 1)]; }

 private:
  Cell& At(int i, int j) { return cells_[static_cast<std::size_t>(i) * width_ + (j - first_ + 1)]; }

  // The recurrences of the full-matrix alignment, ties and all.
  void Fill(const Rows& rows, const std::vector<Base>& target, int i, int j) {
    const auto row = static_cast<std::size_t>(i);
    const Cell& diagonal = At(i - 1, j - 1);
    const Cell& left = At(i, j - 1);
    const Cell& above = At(i - 1, j);
    Cell& cell = At(i, j);
    const int p = diagonal.best + rows.score[target[static_cast<std::size_t>(j)]][row];
    const int utOpen = left.value[kPair] + rows.open[row], utExtend = left.value[kTargetOnly] + rows.extend[row];
    const int umOpen = above.value[kPair] + rows.mirnaOpen[row];
    const int umExtend = above.value[kMirnaOnly] + rows.mirnaExtend[row];
    const int ut = std::max(utOpen, utExtend), um = std::max(umOpen, umExtend);
    std::uint8_t state = kPair;
    int best = p;
    if (ut > best) state = kTargetOnly, best = ut;
    if (um > best) state = kMirnaOnly, best = um;
    if (best <= 0) state = kZero, best = 0;
    cell.value[kPair] = p;
    cell.value[kTargetOnly] = ut;
    cell.value[kMirnaOnly] = um;
    cell.best = best;
    cell.choice = static_cast<std::uint8_t>(state | (utExtend > utOpen ? kTargetOnlyExtends : 0) |
                                            (umExtend > umOpen ? kMirnaOnlyExtends : 0));
  }

  int first_;
  std::size_t width_;
  std::vector<Cell> cells_;
};

// The trace through `low`, or false where `high` shows the window too narrow.
bool TryTrace(const Window& low, const Window& high, const Candidate& end, Trace& trace) {
  auto agree = [&](int i, int j, std::uint8_t state) {
    const Cell &x = low.At(i, j), &y = high.At(i, j);
    return x.choice == y.choice && (state == kZero || x.value[state] == y.value[state]);
  };
  trace = {{}, end.row, end.row, end.column, end.column};
  int i = end.row, j = end.column;
  std::uint8_t state = low.At(i, j).choice & 3;
  for (;;) {
    if (!agree(i, j, state)) return false;
    const std::uint8_t flags = low.At(i, j).choice;
    trace.firstRow = std::min(trace.firstRow, i);
    if (state == kPair) {
      trace.columns.push_back(Column::Pair);
      trace.firstTarget = j;
      if (i == 1 || j == 1) break;
      if (!agree(i - 1, j - 1, kZero)) return false;
      state = low.At(i - 1, j - 1).choice & 3;
      if (state == kZero) break;
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
  return true;
}

}  // namespace

Trace TraceBack(const Rows& rows, const std::vector<Base>& target, const Candidate& end) {
  Trace trace;
  for (int width = 2 * rows.n + 8;; width *= 2) {
    const int first = std::max(1, end.column - width + 1);
    const Window low(rows, target, end.row, first, end.column, false);
    if (first == 1) {
      TryTrace(low, low, end, trace);
      return trace;
    }
    if (TryTrace(low, Window(rows, target, end.row, first, end.column, true), end, trace)) return trace;
  }
}

}  // namespace velmora::scanner
