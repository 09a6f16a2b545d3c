#include "stats/factorial_table.h"

#include "core/file_bytes.h"
#include "core/run_failure.h"

namespace velmora {

void FactorialTable::Set(int k, std::string text) {
  std::uint64_t leading = 0;
  for (std::size_t i = 0; i < text.size() && i < 10; ++i)
    leading = leading * 10 + static_cast<std::uint64_t>(text[i] - '0');
  leading_[static_cast<std::size_t>(k)] = leading;
  texts_[static_cast<std::size_t>(k)] = std::move(text);
}

FactorialTable LoadFactorialTable(const std::filesystem::path& path) {
  const std::string bytes = ReadFileBytes(path);

  FactorialTable table;
  table.Set(0, "1");
  int count = 0;
  int lineNumber = 0;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\r', start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
    ++lineNumber;
    if (line.empty()) continue;
    if (line.find_first_not_of("0123456789") != std::string::npos || line.front() == '0') {
      throw RunFailure(path.string() + ": line " + std::to_string(lineNumber) + " is not a plain decimal number");
    }
    if (++count > FactorialTable::kLast) {
      throw RunFailure(path.string() + ": more than " + std::to_string(FactorialTable::kLast) + " factorials");
    }
    table.Set(count, line);
  }
  if (count < FactorialTable::kNeeded) {
    throw RunFailure(path.string() + ": " + std::to_string(count) + " factorials, at least " +
                     std::to_string(FactorialTable::kNeeded) + " expected");
  }
  return table;
}

}  // namespace velmora
