#include "stats/factorial_table.h"

#include <gtest/gtest.h>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// 1! to count! in plain decimal, each line ended by `end`.
std::string Factorials(int count, const std::string& end = "\r\n") {
  std::string file;
  std::vector<int> digits = {1};  // least significant first
  for (int k = 1; k <= count; ++k) {
    int carry = 0;
    for (int& digit : digits) {
      const int product = digit * k + carry;
      digit = product % 10;
      carry = product / 10;
    }
    for (; carry > 0; carry /= 10) digits.push_back(carry % 10);
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) file += static_cast<char>('0' + *it);
    file += end;
  }
  return file;
}

std::string FailureOf(const std::filesystem::path& path) {
  return test::FailureOf([&] { LoadFactorialTable(path); });
}

TEST(LoadFactorialTable, ReadsTheBuiltTableAndIgnoresEmptyLines) {
  test::TempDir dir;
  std::string spaced = Factorials(500);
  spaced.insert(0, "\r\n\r\n");
  test::WriteBytes(dir / "mulnum.txt", spaced);
  const FactorialTable table = LoadFactorialTable(dir / "mulnum.txt");
  EXPECT_EQ(table.Text(0), "1");
  EXPECT_EQ(table.Text(5), "120");
  EXPECT_EQ(table.Text(500), test::BuiltFactorials().Text(500));
  EXPECT_EQ(table.LeadingTen(20), 2432902008u);  // 20! = 2432902008176640000
  // A lone CR ends a line too.
  test::WriteBytes(dir / "cr.txt", Factorials(494, "\r"));
  EXPECT_EQ(LoadFactorialTable(dir / "cr.txt").Text(494), test::BuiltFactorials().Text(494));
}

TEST(LoadFactorialTable, EveryBadTableIsRefusedNamingTheFile) {
  test::TempDir dir;
  const std::string file = (dir / "mulnum.txt").string();
  EXPECT_EQ(FailureOf(dir / "mulnum.txt"), file + ": cannot be read: No such file or directory");
  fs::create_directory(dir / "mulnum.txt");
  EXPECT_EQ(FailureOf(dir / "mulnum.txt"), file + ": cannot be read: Is a directory");
  fs::remove(dir / "mulnum.txt");

  const std::vector<std::pair<std::string, std::string>> cases = {
      {Factorials(493), file + ": 493 factorials, at least 494 expected"},
      {Factorials(501), file + ": more than 500 factorials"},
      {Factorials(500, "\n"), file + ": line 1 is not a plain decimal number"},  // LF alone does not end a line
      {"1\r\n2\r\n6x\r\n", file + ": line 3 is not a plain decimal number"},
      {"1\r\n02\r\n", file + ": line 2 is not a plain decimal number"},
      {"", file + ": 0 factorials, at least 494 expected"},
  };
  for (const auto& [bytes, message] : cases) {
    test::WriteBytes(dir / "mulnum.txt", bytes);
    EXPECT_EQ(FailureOf(dir / "mulnum.txt"), message);
  }
}

}  // namespace
}  // namespace velmora
