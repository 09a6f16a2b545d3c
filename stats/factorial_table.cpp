#include "stats/factorial_table.h"

#include <cstdio>

#include "core/file_bytes.h"
#include "core/run_failure.h"

namespace velmora {

void FactorialTable::Add(std::string text) {
  std::uint64_t leading = 0;
  for (std::size_t i = 0; i < text.size() && i < 10; ++i)
    leading = leading * 10 + static_cast<std::uint64_t>(text[i] - '0');
  leading_.push_back(leading);
  texts_.push_back(std::move(text));
}

FactorialTable LoadFactorialTable(const std::filesystem::path& path) {
  const std::string bytes = ReadFileBytes(path);

  FactorialTable table;
  table.Add("1");
  int lineNumber = 0;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\r', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
    ++lineNumber;
    if (line.empty()) continue;
    if (line.find_first_not_of("0123456789") != std::string::npos || line.front() == '0') {
      throw RunFailure(path.string() + ": line " + std::to_string(lineNumber) + " is not a plain decimal number");
    }
    if (table.Last() == FactorialTable::kMost) {
      throw RunFailure(path.string() + ": more than " + std::to_string(FactorialTable::kMost) + " factorials");
    }
    table.Add(std::move(line));
  }
  if (table.Last() == 0) throw RunFailure(path.string() + ": no factorials");
  return table;
}

std::string FactorialFile(int last) {
  // The value in base 10^9, least significant limb first.
  std::vector<std::uint32_t> limbs{1};
  std::string file;
  for (std::uint32_t k = 1; k <= static_cast<std::uint32_t>(last); ++k) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs) {
      carry += static_cast<std::uint64_t>(limb) * k;
      limb = static_cast<std::uint32_t>(carry % 1000000000u);
      carry /= 1000000000u;
    }
    if (carry > 0) limbs.push_back(static_cast<std::uint32_t>(carry));
    file += std::to_string(limbs.back());
    char digits[10];
    for (auto limb = limbs.rbegin() + 1; limb != limbs.rend(); ++limb) {
      std::snprintf(digits, sizeof digits, "%09u", *limb);
      file += digits;
    }
    file += "\r\n";
  }
  return file;
}

}  // namespace velmora
