#pragma once

// The factorials 0! to N! as decimal texts, loaded once from a collection's
// mulnum.txt; N reaches at least the collection's universe size.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

class FactorialTable {
 public:
  static constexpr int kMost = 5000;  // the largest universe a collection may have

  // The last entry loaded: the largest total a 2x2 table may have.
  int Last() const { return static_cast<int>(texts_.size()) - 1; }
  // Entry k as loaded; "1" for 0!.
  const std::string& Text(int k) const { return texts_[static_cast<std::size_t>(k)]; }
  // The number entry k's first 10 digits form (its whole value when shorter).
  std::uint64_t LeadingTen(int k) const { return leading_[static_cast<std::size_t>(k)]; }

  // Appends entry Last() + 1.
  void Add(std::string text);

 private:
  std::vector<std::string> texts_;
  std::vector<std::uint64_t> leading_;
};

// Reads one factorial per non-empty line (lines end at CR or CR LF). A file
// that is missing, holds a line that is not a plain decimal, no entry or
// more than kMost throws RunFailure naming the file.
FactorialTable LoadFactorialTable(const std::filesystem::path& path);

// The factorial file of 1! to last!: plain decimal, one per line, CR LF.
std::string FactorialFile(int last);

}  // namespace velmora
