#include "mapping/set_file.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

// One line for each run of consecutive lines of an identifier (no
// re-grouping); lines without a pair are skipped.
TEST(WriteLncMirSets, OneLineForEachRunOfAnIdentifier) {
  const std::pair<const char*, const char*> rows[] = {{"A\tm1\r\nA\tm2\r\nB\tm3\r\n", "A\tm1\tm2\nB\tm3\n"},
                                                      {"A\tm1\r\n", "A\tm1\n"},
                                                      {"A\tm1\r\nB\tm2\r\nA\tm3\r\n", "A\tm1\nB\tm2\nA\tm3\n"},
                                                      {"A\tm1\r\n\r\nno tab\r\nA\tm2\r\n", "A\tm1\tm2\n"},
                                                      {"", ""}};
  for (const auto& [grouped, sets] : rows) {
    test::TempDir dir;
    test::WriteBytes(dir / "mir_lnc3.txt", grouped);
    WriteLncMirSets(dir / "mir_lnc3.txt", dir / "lnc_mirset.txt", false);
    ASSERT_TRUE(std::filesystem::exists(dir / "lnc_mirset.txt")) << grouped;
    EXPECT_EQ(test::ReadBytes(dir / "lnc_mirset.txt"), sets) << grouped;
  }
}

}  // namespace
}  // namespace velmora
