#pragma once

// The alignment sweep of several miRNAs at once over one target, one 16-bit
// vector lane per miRNA, column by column along the target: it keeps one
// column of state per miRNA row and reports the cells that may end a hit.

#include <hwy/aligned_allocator.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "predictors/scanner.h"
#include "predictors/scoring.h"

namespace velmora::scanner {

struct Candidate {
  int score, row, column;  // row of the candidate's own miRNA, 1-based target column
};

class LaneGroup {
 public:
  // miRNAs one vector holds on this CPU (the widest instruction set it has).
  static std::size_t Lanes();

  // At most Lanes() miRNAs. Rows are aligned at the miRNA's 5' end, so a
  // row is the same miRNA position, and gap costs the same, in every lane;
  // a shorter miRNA's first rows pair with nothing.
  explicit LaneGroup(const std::vector<const Rows*>& mirnas);

  // candidates[k] gets every cell of miRNA k scoring kScoreThreshold or more
  // whose best state is not an unpaired target nucleotide.
  void Sweep(const std::vector<Base>& target, std::vector<std::vector<Candidate>>& candidates) const;

  // For the vector kernel.
  std::size_t lanes, count, height;  // lanes per vector, miRNAs, rows
  std::size_t seedBegin, seedEnd;    // 0-based rows of the seed, where gap costs are scaled
  std::vector<int> lengths;
  hwy::AlignedFreeUniquePtr<std::int16_t[]> score;  // by target base, row, lane
  // What the kernel keeps of one column and the one before, by row, then lane.
  struct ColumnState {
    const std::int16_t* before;      // the best state of the column before
    const std::int16_t* cell;        // the best state of this column
    const std::int16_t* targetOnly;  // the unpaired-target state of this column
    const std::int16_t* score;       // the pair scores of this column's target base
  };
  // The cells of one column with a lane at or above the threshold.
  void Collect(int column, const ColumnState& state, const std::int16_t* columnMax,
               std::vector<std::vector<Candidate>>& candidates) const;
};

}  // namespace velmora::scanner
