// The vector kernel, compiled for each instruction set Highway targets and
// chosen at run time.

#include "predictors/lane_kernel.h"

#include <algorithm>
#include <stdexcept>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "predictors/lane_kernel.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace velmora::scanner::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<std::int16_t>;
using V = hn::Vec<D>;

std::size_t LaneCount() { return hn::Lanes(D()); }

// One cell of each lane. Saturating arithmetic keeps "no such state"
// (INT16_MIN) from wrapping; scores stay far below INT16_MAX. The column
// before is read from `before`, this one written to `cell`; of the unpaired
// target state only what the next column needs is kept: the best of opening
// and extending from this cell, read back as `targetOnly` there.
template <bool kSeed>
HWY_INLINE void Step(D d, std::size_t at, const std::int16_t* score, const std::int16_t* before, std::int16_t* cell,
                     const std::int16_t* targetOnlyIn, std::int16_t* targetOnlyOut, V open, V extend, V& diagonal,
                     V& pairAbove, V& mirnaOnlyAbove, V& columnMax) {
  const V left = hn::Load(d, before + at);
  const V p = hn::SaturatedAdd(diagonal, hn::Load(d, score + at));
  const V ut = hn::Load(d, targetOnlyIn + at);
  V best = hn::Max(hn::Max(p, ut), hn::Zero(d));
  if constexpr (kSeed) {
    mirnaOnlyAbove = hn::Set(d, INT16_MIN);  // no unpaired miRNA nucleotide in the seed
  } else {
    mirnaOnlyAbove = hn::Max(hn::SaturatedAdd(pairAbove, open), hn::SaturatedAdd(mirnaOnlyAbove, extend));
    best = hn::Max(best, mirnaOnlyAbove);
  }
  hn::Store(best, d, cell + at);
  hn::Store(hn::Max(hn::SaturatedAdd(p, open), hn::SaturatedAdd(ut, extend)), d, targetOnlyOut + at);
  diagonal = left;
  pairAbove = p;
  columnMax = hn::Max(columnMax, best);
}

void SweepColumns(const LaneGroup& group, const Base* target, std::size_t m,
                  std::vector<std::vector<Candidate>>& candidates) {
  const D d;
  const std::size_t lanes = group.lanes, size = group.height * lanes;
  // Two columns of each state, this one's and the one before, by turns.
  auto cells = hwy::AllocateAligned<std::int16_t>(2 * size);
  auto targetOnly = hwy::AllocateAligned<std::int16_t>(2 * size);
  std::fill_n(cells.get(), 2 * size, 0);
  std::fill_n(targetOnly.get(), 2 * size, INT16_MIN);
  auto columnMaxima = hwy::AllocateAligned<std::int16_t>(lanes);
  const V none = hn::Set(d, INT16_MIN), belowThreshold = hn::Set(d, kScoreThreshold - 1);
  const V open = hn::Set(d, kGapOpen), extend = hn::Set(d, kGapExtend);
  const V seedOpen = hn::Set(d, kGapOpen * kScale), seedExtend = hn::Set(d, kGapExtend * kScale);
  const std::size_t seedBegin = group.seedBegin * lanes, seedEnd = group.seedEnd * lanes;
  for (std::size_t j = 1; j <= m; ++j) {
    const std::size_t now = (j & 1) * size, then = size - now;
    const std::int16_t* before = cells.get() + then;
    std::int16_t* cell = cells.get() + now;
    const std::int16_t* targetOnlyIn = targetOnly.get() + then;
    std::int16_t* targetOnlyOut = targetOnly.get() + now;
    const std::int16_t* score = group.score.get() + target[j] * size;
    V diagonal = hn::Zero(d), pairAbove = none, mirnaOnlyAbove = none, columnMax = hn::Zero(d);
    std::size_t at = 0;
    for (; at < seedBegin; at += lanes) {
      Step<false>(d, at, score, before, cell, targetOnlyIn, targetOnlyOut, open, extend, diagonal, pairAbove,
                  mirnaOnlyAbove, columnMax);
    }
    for (; at < seedEnd; at += lanes) {
      Step<true>(d, at, score, before, cell, targetOnlyIn, targetOnlyOut, seedOpen, seedExtend, diagonal, pairAbove,
                 mirnaOnlyAbove, columnMax);
    }
    for (; at < size; at += lanes) {
      Step<false>(d, at, score, before, cell, targetOnlyIn, targetOnlyOut, open, extend, diagonal, pairAbove,
                  mirnaOnlyAbove, columnMax);
    }
    if (!hn::AllFalse(d, hn::Gt(columnMax, belowThreshold))) {
      hn::Store(columnMax, d, columnMaxima.get());
      group.Collect(static_cast<int>(j), {before, cell, targetOnlyIn, score}, columnMaxima.get(), candidates);
    }
  }
}

}  // namespace velmora::scanner::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace velmora::scanner {

HWY_EXPORT(LaneCount);
HWY_EXPORT(SweepColumns);

std::size_t LaneGroup::Lanes() {
  static const std::size_t lanes = HWY_DYNAMIC_DISPATCH(LaneCount)();
  return lanes;
}

LaneGroup::LaneGroup(const std::vector<const Rows*>& mirnas)
    : lanes(Lanes()), count(mirnas.size()), height(0), seedBegin(0), seedEnd(0) {
  for (const Rows* rows : mirnas) {
    if (rows->bestUpTo[static_cast<std::size_t>(rows->n)] > INT16_MAX / 2) {
      throw std::runtime_error("a miRNA of " + std::to_string(rows->n) + " nt is too long to scan");
    }
    lengths.push_back(rows->n);
    height = std::max(height, static_cast<std::size_t>(rows->n));
  }
  // Row r (0-based) holds miRNA position height - r in every lane.
  seedBegin = height > kSeedLast ? height - kSeedLast : 0;
  seedEnd = height >= kSeedFirst ? height - kSeedFirst + 1 : 0;
  const std::size_t size = height * lanes;
  score = hwy::AllocateAligned<std::int16_t>(kBases * size);
  std::fill_n(score.get(), kBases * size, INT16_MIN);
  for (std::size_t k = 0; k < count; ++k) {
    const auto padding = height - static_cast<std::size_t>(lengths[k]);
    for (int b = 0; b < kBases; ++b) {
      for (std::size_t r = padding; r < height; ++r) {
        score[b * size + r * lanes + k] = static_cast<std::int16_t>(mirnas[k]->score[b][r - padding + 1]);
      }
    }
  }
}

void LaneGroup::Sweep(const std::vector<Base>& target, std::vector<std::vector<Candidate>>& candidates) const {
  candidates.resize(count);
  for (auto& list : candidates) list.clear();
  if (count > 0) HWY_DYNAMIC_DISPATCH(SweepColumns)(*this, target.data(), target.size() - 1, candidates);
}

void LaneGroup::Collect(int column, const ColumnState& state, const std::int16_t* columnMax,
                        std::vector<std::vector<Candidate>>& candidates) const {
  auto saturated = [](int value) { return std::max<int>(value, INT16_MIN); };
  for (std::size_t k = 0; k < count; ++k) {
    if (columnMax[k] < kScoreThreshold) continue;
    // The paired and unpaired-miRNA states, which the kernel does not keep, down this column.
    int mirnaOnly = INT16_MIN, pairAbove = INT16_MIN;
    const auto padding = static_cast<int>(height) - lengths[k];
    for (std::size_t r = 0; r < height; ++r) {
      const std::size_t at = r * lanes + k;
      const bool seed = r >= seedBegin && r < seedEnd;
      mirnaOnly = seed ? INT16_MIN : std::max(saturated(pairAbove + kGapOpen), saturated(mirnaOnly + kGapExtend));
      const int pair = saturated((r == 0 ? 0 : state.before[at - lanes]) + state.score[at]);
      pairAbove = pair;
      // A candidate unless its best state is an unpaired target nucleotide.
      const int cell = state.cell[at], targetOnly = state.targetOnly[at];
      if (cell >= kScoreThreshold && (pair >= targetOnly || mirnaOnly > targetOnly)) {
        candidates[k].push_back({cell, static_cast<int>(r) + 1 - padding, column});
      }
    }
  }
}

}  // namespace velmora::scanner
#endif  // HWY_ONCE
