#pragma once

// The table of result rows that the column sort rebuilds the list from.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/frontend.h"

namespace velmora {

// Logged once per run when a row does not fit the store.
inline constexpr std::string_view kResultLimitMessage =
    "Results > 10000 rows. The listview will not show the complete results. "
    "Please export the results and view in Excel or Excel-like software.";

// A loosely typed cell: empty, a 32-bit integer (the ID) or a text.
using Cell = std::variant<std::monostate, std::int32_t, std::string>;

class ResultStore {
 public:
  static constexpr int kLastRow = 10000;  // rows 1 to 10000; row 0 stays empty
  static constexpr int kColumns = 10;

  ResultStore() : cells_((kLastRow + 1) * kColumns) {}

  void Clear() { cells_.assign(cells_.size(), Cell{}); }
  Cell& At(int row, int column) { return cells_[Index(row, column)]; }
  const Cell& At(int row, int column) const { return cells_[Index(row, column)]; }

  // Puts a row into store row `row.id`: column 0 the ID, 1 to 9 its texts.
  // Returns false, storing nothing, for an ID past the last row.
  bool Hold(const ResultRow& row) {
    if (row.id < 1 || row.id > kLastRow) return false;
    At(row.id, 0) = row.id;
    for (int column = 1; column < kColumns; ++column)
      At(row.id, column) = row.cells[static_cast<std::size_t>(column - 1)];
    return true;
  }

 private:
  static std::size_t Index(int row, int column) {
    return static_cast<std::size_t>(row) * kColumns + static_cast<std::size_t>(column);
  }
  std::vector<Cell> cells_;
};

}  // namespace velmora
