#pragma once

// The table of result rows that the column sort rebuilds the list from.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace velmora {

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

 private:
  static std::size_t Index(int row, int column) {
    return static_cast<std::size_t>(row) * kColumns + static_cast<std::size_t>(column);
  }
  std::vector<Cell> cells_;
};

}  // namespace velmora
