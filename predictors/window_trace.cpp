// The window is computed twice: once as if nothing left of it could score
// (every state at its border empty, the low run) and once as if everything
// there scored the most it possibly can (the high run). Every state of the
// true matrix lies between the two. Where both runs agree on a cell's
// choices and on the value of the state the trace is in, the true matrix
// agrees too; a trace that meets disagreement is redone in a window twice
// as wide. A window that starts at the target's first column has the true
// border and needs no check. The high run is computed only as far into each
// row as it differs from the low one: past that point nothing can differ.

#include "predictors/window_trace.h"

#include <algorithm>
#include <cstdint>

namespace velmora::scanner {
namespace {

enum State : std::uint8_t { kPair = 0, kTargetOnly = 1, kMirnaOnly = 2, kZero = 3 };
constexpr std::uint8_t kTargetOnlyExtends = 4;  // the unpaired-target state came from itself
constexpr std::uint8_t kMirnaOnlyExtends = 8;   // the unpaired-miRNA state came from itself

struct Cell {
  int pair = kNone, targetOnly = kNone, mirnaOnly = kNone, best = 0;
  std::uint8_t choice = kZero;  // best State, and the extend flags

  int Value(std::uint8_t state) const { return state == kPair ? pair : state == kTargetOnly ? targetOnly : mirnaOnly; }
  bool operator==(const Cell&) const = default;
};

// One row's scores and gap costs, copied out of Rows for the inner loop.
struct RowCosts {
  int score[kBases], open, extend, mirnaOpen, mirnaExtend;

  RowCosts(const Rows& rows, std::size_t row)
      : open(rows.open[row]),
        extend(rows.extend[row]),
        mirnaOpen(rows.mirnaOpen[row]),
        mirnaExtend(rows.mirnaExtend[row]) {
    for (int b = 0; b < kBases; ++b) score[b] = rows.score[static_cast<std::size_t>(b)][row];
  }
};

// The recurrences of the full-matrix alignment, ties and all, without
// branches (the choices are unpredictable). The left cell's two states come
// in and go out through registers: reading back a cell just stored stalls.
inline void Next(const RowCosts& costs, Base base, const Cell& diagonal, int& leftPair, int& leftTargetOnly,
                 const Cell& above, Cell& cell) {
  const int p = diagonal.best + costs.score[base];
  const int utOpen = leftPair + costs.open, utExtend = leftTargetOnly + costs.extend;
  const int umOpen = above.pair + costs.mirnaOpen, umExtend = above.mirnaOnly + costs.mirnaExtend;
  const int ut = std::max(utOpen, utExtend), um = std::max(umOpen, umExtend);
  int best = p;
  int state = kPair;
  state = ut > best ? kTargetOnly : state;
  best = std::max(best, ut);
  state = um > best ? kMirnaOnly : state;
  best = std::max(best, um);
  state = best <= 0 ? kZero : state;
  best = std::max(best, 0);
  state |= (utExtend > utOpen ? kTargetOnlyExtends : 0) | (umExtend > umOpen ? kMirnaOnlyExtends : 0);
  cell.pair = leftPair = p;
  cell.targetOnly = leftTargetOnly = ut;
  cell.mirnaOnly = um;
  cell.best = best;
  cell.choice = static_cast<std::uint8_t>(state);
}

// Rows 0..lastRow and columns first-1..last; row 0 and column first-1 are
// the border. Reused between traces.
class Window {
 public:
  // The low run.
  void Fill(const Rows& rows, const std::vector<Base>& target, int lastRow, int first, int last) {
    low_ = nullptr;
    first_ = first;
    width_ = static_cast<std::size_t>(last - first + 2);
    cells_.assign(static_cast<std::size_t>(lastRow + 1) * width_, Cell{});
    const Base* bases = target.data() + first - 1;
    for (std::size_t i = 1; i <= static_cast<std::size_t>(lastRow); ++i) {
      const Cell* above = &cells_[(i - 1) * width_];
      Cell* row = &cells_[i * width_];
      const RowCosts costs(rows, i);
      int leftPair = row[0].pair, leftTargetOnly = row[0].targetOnly;
      for (std::size_t x = 1; x < width_; ++x) {
        Next(costs, bases[x], above[x - 1], leftPair, leftTargetOnly, above[x], row[x]);
      }
    }
  }

  // The high run of the window `low` holds the low run of.
  void FillHigh(const Rows& rows, const std::vector<Base>& target, const Window& low) {
    low_ = &low;
    first_ = low.first_;
    width_ = low.width_;
    const std::size_t lastRow = low.cells_.size() / width_ - 1;
    cells_.resize(low.cells_.size());
    differEnd_.assign(lastRow + 1, 0);  // row 0 is the same border in both runs
    const Base* bases = target.data() + first_ - 1;
    for (std::size_t i = 1; i <= lastRow; ++i) {
      const int most = rows.bestUpTo[i];
      Cell* row = &cells_[i * width_];
      row[0] = {most, most, kNone, most, most > 0 ? kPair : kZero};
      const RowCosts costs(rows, i);
      std::size_t x = 1;
      int leftPair = row[0].pair, leftTargetOnly = row[0].targetOnly;
      for (; x < width_; ++x) {
        Next(costs, bases[x], Get(i - 1, x - 1), leftPair, leftTargetOnly, Get(i - 1, x), row[x]);
        // Past the row above's differences, a cell equal to the low run's
        // makes every later cell of the row equal too.
        if (x >= differEnd_[i - 1] && row[x] == low.cells_[i * width_ + x]) break;
      }
      differEnd_[i] = x;
    }
  }

  const Cell& At(int i, int j) const {
    return Get(static_cast<std::size_t>(i), static_cast<std::size_t>(j - first_ + 1));
  }

 private:
  // In the high run, the low run's cell from the row's first equal one on.
  const Cell& Get(std::size_t i, std::size_t x) const {
    return low_ && x >= differEnd_[i] ? low_->cells_[i * width_ + x] : cells_[i * width_ + x];
  }

  const Window* low_ = nullptr;  // set in the high run
  int first_ = 1;
  std::size_t width_ = 0;
  std::vector<Cell> cells_;
  std::vector<std::size_t> differEnd_;  // high run: by row, equal to the low run from this index on
};

// The trace through `low`, or false where `high` shows the window too narrow.
bool TryTrace(const Window& low, const Window& high, const Candidate& end, Trace& trace) {
  auto agree = [&](int i, int j, std::uint8_t state) {
    const Cell &x = low.At(i, j), &y = high.At(i, j);
    return x.choice == y.choice && (state == kZero || x.Value(state) == y.Value(state));
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
  thread_local Window low, high;
  Trace trace;
  for (int width = rows.n + 12;; width *= 2) {
    const int first = std::max(1, end.column - width + 1);
    low.Fill(rows, target, end.row, first, end.column);
    if (first == 1) {
      TryTrace(low, low, end, trace);
      return trace;
    }
    high.FillHigh(rows, target, low);
    if (TryTrace(low, high, end, trace)) return trace;
  }
}

}  // namespace velmora::scanner
