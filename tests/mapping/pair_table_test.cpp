#include "mapping/pair_table.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

class PairTableTest : public ::testing::Test {
 protected:
  std::string Group(const std::string& pairs) {
    test::WriteBytes(dir / "pairs.txt", pairs);
    GroupPairs(dir / "pairs.txt", dir / "out.txt");
    return test::ReadBytes(dir / "out.txt");
  }
  std::string Merge(const std::string& first, const std::string& second, bool intersection) {
    test::WriteBytes(dir / "m.txt", first);
    test::WriteBytes(dir / "t.txt", second);
    (intersection ? MergePairsIntersection : MergePairsUnion)(dir / "m.txt", dir / "t.txt", dir / "out.txt", {});
    return test::ReadBytes(dir / "out.txt");
  }
  test::TempDir dir;
};

TEST_F(PairTableTest, GroupingKeepsFirstAppearanceOrderAndDropsRepeats) {
  EXPECT_EQ(Group(">B\tm1\n>A\tm2\n>B\tm1\n>B\tm1\n>B\tm3\n>A\tm2\n>B\tm1\n>B\tm1\n"),
            ">B\tm1\r\n>B\tm3\r\n>A\tm2\r\n");
}

TEST_F(PairTableTest, LfAndCrLfFilesGroupAlikeAndCarriageReturnsLeaveIdentifiers) {
  const std::string expected = ">A\tm1\r\n>A\tm2\r\n";
  EXPECT_EQ(Group(">A\tm1\n>A\tm2\n"), expected);
  EXPECT_EQ(Group(">A\tm1\r\n>A\tm2\r\n"), expected);
  EXPECT_EQ(Group(">A\r\tm1\r\n>A\tm2\r\n"), expected);
}

TEST_F(PairTableTest, CaseMattersAndLinesWithoutTabAreSkipped) {
  EXPECT_EQ(Group(">a\tm\n>A\tm\n>A\tM\nno tab here\n\n"), ">a\tm\r\n>A\tm\r\n>A\tM\r\n");
  EXPECT_EQ(Group(""), "");
}

TEST_F(PairTableTest, UnionPutsSecondFileAdditionsAfterTheFirstFiles) {
  EXPECT_EQ(Merge(">A\tm1\r\n>B\tm2\r\n", ">C\tm9\n>A\tm3\n>A\tm1\n", false),
            ">A\tm1\r\n>A\tm3\r\n>B\tm2\r\n>C\tm9\r\n");
}

TEST_F(PairTableTest, IntersectionKeepsConfirmedPairsInFirstFileOrder) {
  EXPECT_EQ(Merge(">A\tm1\r\n>A\tm2\r\n>B\tm3\r\n>A\tm4\r\n", ">A\tm4\n>A\tm4\n>A\tm1\n>C\tm1\n>C\tm1\n>B\tm9\n", true),
            ">A\tm1\r\n>A\tm4\r\n");
  EXPECT_EQ(Merge(">A\tm1\r\n", "", true), "");
  EXPECT_EQ(Merge("", ">A\tm1\n", true), "");
}

TEST_F(PairTableTest, IntersectionTreatsAStarredNameAsMarked) {
  // "m1*" of the first file counts as marked and is written up to its "*";
  // the second file's m1 then confirms the first stored name that reads m1
  // without stars, which is "m1*" itself, so the two cut to the same text.
  EXPECT_EQ(Merge(">A\tm1*\r\n>A\tm1\r\n>A\tm2\r\n", ">A\tm1\n>A\tm2*\n", true), ">A\tm1\r\n");
  EXPECT_EQ(Merge(">A\tm1\r\n>A\tm1*\r\n", ">A\tm1\n", true), ">A\tm1\r\n>A\tm1\r\n");
}

}  // namespace
}  // namespace velmora
