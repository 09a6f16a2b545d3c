#pragma once

// The factorials 0! to 500! as decimal texts, loaded once from lib/mulnum.txt.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora {

class FactorialTable {
 public:
  static constexpr int kLast = 500;
  static constexpr int kNeeded = 494;  // the universe size: every table's total

  // Entry k as loaded; "1" for 0!, empty where the file ended early.
  const std::string& Text(int k) const { return texts_[static_cast<std::size_t>(k)]; }
  // The number entry k's first 10 digits form (its whole value when shorter).
  std::uint64_t LeadingTen(int k) const { return leading_[static_cast<std::size_t>(k)]; }

  void Set(int k, std::string text);

 private:
  std::array<std::string, kLast + 1> texts_;
  std::array<std::uint64_t, kLast + 1> leading_{};
};

// Reads one factorial per non-empty line (lines end at CR or CR LF). A file
// that is missing, holds a line that is not a plain decimal, more than 500
// entries or fewer than 494 throws RunFailure naming the file.
FactorialTable LoadFactorialTable(const std::filesystem::path& path);

}  // namespace velmora
