#include "mapping/set_file.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

std::string Sets(const std::string& grouped) {
  test::TempDir dir;
  test::WriteBytes(dir / "mir_lnc3.txt", grouped);
  WriteLncMirSets(dir / "mir_lnc3.txt", dir / "lnc_mirset.txt", false);
  return test::ReadBytes(dir / "lnc_mirset.txt");
}

TEST(WriteLncMirSets, OneLineForEachRunOfAnIdentifier) {
  EXPECT_EQ(Sets("A\tm1\r\nA\tm2\r\nB\tm3\r\n"), "A\tm1\tm2\nB\tm3\n");
  EXPECT_EQ(Sets("A\tm1\r\n"), "A\tm1\n");
  // Runs are consecutive lines only: no re-grouping.
  EXPECT_EQ(Sets("A\tm1\r\nB\tm2\r\nA\tm3\r\n"), "A\tm1\nB\tm2\nA\tm3\n");
}

TEST(WriteLncMirSets, EmptyInputGivesAnEmptySetFile) { EXPECT_EQ(Sets(""), ""); }

TEST(WriteLncMirSets, LinesWithoutPairAreSkipped) {
  EXPECT_EQ(Sets("A\tm1\r\n\r\nno tab\r\nA\tm2\r\n"), "A\tm1\tm2\n");
}

}  // namespace
}  // namespace velmora
