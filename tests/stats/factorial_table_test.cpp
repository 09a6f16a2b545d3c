#include "stats/factorial_table.h"

#include <gtest/gtest.h>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// 1! to count! in plain decimal, worked out here by long multiplication, each
// line ended by `end`.
std::string Factorials(int count, const std::string& end = "\r\n") {
  std::string file, value = "1";
  for (int k = 1; k <= count; ++k) {
    int carry = 0;
    for (auto digit = value.rbegin(); digit != value.rend(); ++digit, carry /= 10) {
      carry += (*digit - '0') * k;
      *digit = static_cast<char>('0' + carry % 10);
    }
    for (; carry > 0; carry /= 10) value.insert(value.begin(), static_cast<char>('0' + carry % 10));
    file += value + end;
  }
  return file;
}

// The table the build wrote holds the factorials, and a file like it loads
// with blank lines and lone CRs; every other file is refused naming it.
TEST(LoadFactorialTable, ReadsTheTableAndRefusesEveryBadOne) {
  const FactorialTable& built = test::BuiltFactorials();
  std::string entries;
  for (int k = 1; k <= FactorialTable::kLast; ++k) entries += built.Text(k) + "\r\n";
  EXPECT_EQ(entries, Factorials(FactorialTable::kLast));
  test::TempDir dir;
  const fs::path path = dir / "mulnum.txt";
  const std::string file = path.string();
  for (const auto& [bytes, count] : {std::pair{"\r\n\r\n" + Factorials(500), 500}, {Factorials(494, "\r"), 494}}) {
    test::WriteBytes(path, bytes);
    const FactorialTable table = LoadFactorialTable(path);
    for (int k = 1; k <= FactorialTable::kLast; ++k) EXPECT_EQ(table.Text(k), k <= count ? built.Text(k) : "") << k;
  }
  const std::pair<std::string, std::string> refused[] = {
      {Factorials(493), file + ": 493 factorials, at least 494 expected"},
      {Factorials(501), file + ": more than 500 factorials"},
      {Factorials(500, "\n"), file + ": line 1 is not a plain decimal number"},  // LF alone ends no line
      {"1\r\n2\r\n6x\r\n", file + ": line 3 is not a plain decimal number"},
      {"1\r\n02\r\n", file + ": line 2 is not a plain decimal number"},
      {"", file + ": 0 factorials, at least 494 expected"},
  };
  for (const auto& [bytes, message] : refused) {
    test::WriteBytes(path, bytes);
    EXPECT_EQ(test::FailureOf([&] { LoadFactorialTable(path); }), message);
  }
  fs::remove(path);
  EXPECT_EQ(test::FailureOf([&] { LoadFactorialTable(path); }), file + ": cannot be read: No such file or directory");
  fs::create_directory(path);
  EXPECT_EQ(test::FailureOf([&] { LoadFactorialTable(path); }), file + ": cannot be read: Is a directory");
}

}  // namespace
}  // namespace velmora
