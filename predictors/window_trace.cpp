// The window is computed twice: once as if nothing left of it could score
// (every state at its border empty, the low run) and once as if everything
// there scored the most it possibly can (the high run). Every state of the
// true matrix lies between the two. Where both runs agree on a cell's
// choices and on the value of the state the trace is in, the true matrix
// agrees too; a trace that meets disagreement is redone in a window twice
// as wide. A window that starts at the target's first column has the true
// border and needs no check.
//
// A run is computed an anti-diagonal at a time: the cells of one depend only
// on the two before it, so a diagonal's rows are independent and the loop
// over them vectorises.

#include "predictors/window_trace.h"

#include <algorithm>
#include <cstdint>

namespace velmora::scanner {
namespace {

enum State : std::uint8_t { kPair = 0, kTargetOnly = 1, kMirnaOnly = 2, kZero = 3 };
constexpr int kTargetOnlyExtends = 4;  // the unpaired-target state came from itself
constexpr int kMirnaOnlyExtends = 8;   // the unpaired-miRNA state came from itself

constexpr int kBlock = 8;  // rows a diagonal is computed in at once, whole blocks only

// The row costs of rows 0..lastRow, and of rows past it up to a whole
// block, which are computed but never read.
struct RowBlocks {
  int blocks = 0;          // rows 1..blocks * kBlock
  std::size_t stride = 0;  // row 0 and the blocks, a multiple of kBlock
  std::vector<int> score[kBases], open, extend, mirnaOpen, mirnaExtend;

  void Assign(const Rows& rows, int lastRow) {
    blocks = (lastRow + kBlock - 1) / kBlock;
    stride = static_cast<std::size_t>(blocks + 1) * kBlock;
    const auto copy = [&](const std::vector<int>& from, std::vector<int>& to) {
      to.assign(stride, 0);
      std::copy_n(from.begin(), lastRow + 1, to.begin());
    };
    for (int b = 0; b < kBases; ++b) copy(rows.score[static_cast<std::size_t>(b)], score[b]);
    copy(rows.open, open);
    copy(rows.extend, extend);
    copy(rows.mirnaOpen, mirnaOpen);
    copy(rows.mirnaExtend, mirnaExtend);
  }
};

// The cells of rows 0..lastRow and window columns 0..width - 1 (target
// columns first - 1..last), by anti-diagonal d = row + column, then row.
// Row 0 and column 0 are the border. Every diagonal is computed over the
// same whole blocks of rows, so that every cell read was written in this
// run; the cells outside the window that this computes are never read by
// one inside. Reused between traces.
class Window {
 public:
  void Fill(const Rows& rows, const RowBlocks& costs, const std::vector<Base>& target, int lastRow, int first, int last,
            bool high) {
    first_ = first;
    width_ = last - first + 2;
    stride_ = costs.stride;
    const int diagonals = lastRow + width_;
    const std::size_t cells = static_cast<std::size_t>(diagonals) * stride_;
    for (std::vector<int>* state : {&pair_, &targetOnly_, &mirnaOnly_, &best_, &choice_}) state->resize(cells);
    // The window's bases right to left, so that a diagonal's rows read them
    // in order; the rows of the cells outside the window read N.
    const std::size_t margin = stride_;
    reversed_.assign(static_cast<std::size_t>(diagonals) + 2 * margin, Other);
    for (int x = 0; x < width_; ++x)
      reversed_[margin + static_cast<std::size_t>(width_ - 1 - x)] = target[first - 1 + x];
    for (std::size_t i = 0; i < stride_; ++i) SetBorder(0, i, nullptr);
    for (int d = 1; d < diagonals; ++d) {
      Diagonal(costs, d);
      SetBorder(d, 0, nullptr);
      if (d <= lastRow)
        SetBorder(d, static_cast<std::size_t>(d), high ? &rows.bestUpTo[static_cast<std::size_t>(d)] : nullptr);
    }
  }

  std::size_t Index(int i, int j) const {
    return static_cast<std::size_t>(i + j - first_ + 1) * stride_ + static_cast<std::size_t>(i);
  }
  int Choice(int i, int j) const { return choice_[Index(i, j)]; }
  int Value(int i, int j, int state) const {
    const std::vector<int>& values = state == kPair ? pair_ : state == kTargetOnly ? targetOnly_ : mirnaOnly_;
    return values[Index(i, j)];
  }

 private:
  // Row `i` of diagonal `d`, a border cell: empty, or in the high run's
  // column 0 as if an alignment there scored the `most` row i can.
  void SetBorder(int d, std::size_t i, const int* most) {
    const std::size_t k = static_cast<std::size_t>(d) * stride_ + i;
    pair_[k] = most ? *most : kNone;
    targetOnly_[k] = most ? *most : kNone;
    mirnaOnly_[k] = kNone;
    best_[k] = most ? *most : 0;
    choice_[k] = most && *most > 0 ? kPair : kZero;
  }

  // The recurrences of the full-matrix alignment, ties and all, for the
  // rows of diagonal d, without branches; built for AVX2 too where the
  // processor has it.
  __attribute__((target_clones("avx2", "default"))) void Diagonal(const RowBlocks& costs, int d) {
    const std::size_t here = static_cast<std::size_t>(d) * stride_;
    const std::size_t before = here - stride_, twoBefore = before - (d >= 2 ? stride_ : 0);
    const int* leftPair = pair_.data() + before;  // a row's left cell; the row before's is the one above
    const int* leftTargetOnly = targetOnly_.data() + before;
    const int* aboveMirnaOnly = mirnaOnly_.data() + before - 1;
    const int* diagonalBest = best_.data() + twoBefore - 1;
    int* pair = pair_.data() + here;
    int* targetOnly = targetOnly_.data() + here;
    int* mirnaOnly = mirnaOnly_.data() + here;
    int* best = best_.data() + here;
    int* choice = choice_.data() + here;
    const int* bases = reversed_.data() + stride_ + static_cast<std::size_t>(width_ - 1 - d);
    const int *sA = costs.score[A].data(), *sC = costs.score[C].data(), *sG = costs.score[G].data(),
              *sU = costs.score[U].data(), *sOther = costs.score[Other].data();
    const int *open = costs.open.data(), *extend = costs.extend.data();
    const int *mirnaOpen = costs.mirnaOpen.data(), *mirnaExtend = costs.mirnaExtend.data();
    for (int block = 0; block < costs.blocks; ++block) {
      const int first = block * kBlock + 1;
#pragma GCC ivdep  // the written diagonal is not one of those read: no alias checks
      for (int lane = 0; lane < kBlock; ++lane) {
        const int i = first + lane;
        const int base = bases[i];
        const int a = sA[i], c = sC[i], g = sG[i], u = sU[i];  // all loaded: no branch
        int score = sOther[i];
        score = base == A ? a : score;
        score = base == C ? c : score;
        score = base == G ? g : score;
        score = base == U ? u : score;
        const int p = diagonalBest[i] + score;
        const int utOpen = leftPair[i] + open[i], utExtend = leftTargetOnly[i] + extend[i];
        const int umOpen = leftPair[i - 1] + mirnaOpen[i], umExtend = aboveMirnaOnly[i] + mirnaExtend[i];
        const int ut = std::max(utOpen, utExtend), um = std::max(umOpen, umExtend);
        int top = p;
        int state = kPair;
        state = ut > top ? kTargetOnly : state;
        top = std::max(top, ut);
        state = um > top ? kMirnaOnly : state;
        top = std::max(top, um);
        state = top <= 0 ? kZero : state;
        pair[i] = p;
        targetOnly[i] = ut;
        mirnaOnly[i] = um;
        best[i] = std::max(top, 0);
        choice[i] = state | (utExtend > utOpen ? kTargetOnlyExtends : 0) | (umExtend > umOpen ? kMirnaOnlyExtends : 0);
      }
    }
  }

  int first_ = 1, width_ = 0;
  std::size_t stride_ = 0;
  std::vector<int> pair_, targetOnly_, mirnaOnly_, best_, choice_;
  std::vector<int> reversed_;  // base codes, as wide as the scores they select
};

// The trace through `low`, or false where `high` shows the window too narrow.
bool TryTrace(const Window& low, const Window& high, const Candidate& end, Trace& trace) {
  auto agree = [&](int i, int j, int state) {
    const int choice = low.Choice(i, j);
    return choice == high.Choice(i, j) && (state == kZero || low.Value(i, j, state) == high.Value(i, j, state));
  };
  trace = {{}, end.row, end.row, end.column, end.column};
  int i = end.row, j = end.column;
  int state = low.Choice(i, j) & 3;
  for (;;) {
    if (!agree(i, j, state)) return false;
    const int flags = low.Choice(i, j);
    trace.firstRow = std::min(trace.firstRow, i);
    if (state == kPair) {
      trace.columns.push_back(Column::Pair);
      trace.firstTarget = j;
      if (i == 1 || j == 1) break;
      if (!agree(i - 1, j - 1, kZero)) return false;
      state = low.Choice(i - 1, j - 1) & 3;
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
  thread_local RowBlocks costs;
  thread_local Window low, high;
  costs.Assign(rows, end.row);
  Trace trace;
  for (int width = rows.n + 12;; width *= 2) {
    const int first = std::max(1, end.column - width + 1);
    low.Fill(rows, costs, target, end.row, first, end.column, false);
    if (first == 1) {
      TryTrace(low, low, end, trace);
      return trace;
    }
    high.Fill(rows, costs, target, end.row, first, end.column, true);
    if (TryTrace(low, high, end, trace)) return trace;
  }
}

}  // namespace velmora::scanner
