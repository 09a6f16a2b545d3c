#include "mapping/pair_table.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

// Grouping keeps the order of first appearance and drops repeats; case
// matters, LF and CR LF files group alike, a CR leaves the identifier, and
// lines without a TAB are skipped.
TEST(GroupPairs, OneLinePerDistinctPairInOrderOfFirstAppearance) {
  const std::pair<const char*, const char*> rows[] = {
      {">B\tm1\n>A\tm2\n>B\tm1\n>B\tm1\n>B\tm3\n>A\tm2\n>B\tm1\n>B\tm1\n", ">B\tm1\r\n>B\tm3\r\n>A\tm2\r\n"},
      {">A\tm1\n>A\tm2\n", ">A\tm1\r\n>A\tm2\r\n"},
      {">A\tm1\r\n>A\tm2\r\n", ">A\tm1\r\n>A\tm2\r\n"},
      {">A\r\tm1\r\n>A\tm2\r\n", ">A\tm1\r\n>A\tm2\r\n"},
      {">a\tm\n>A\tm\n>A\tM\nno tab here\n\n", ">a\tm\r\n>A\tm\r\n>A\tM\r\n"},
      {"", ""}};
  for (const auto& [pairs, grouped] : rows) {
    test::TempDir dir;
    test::WriteBytes(dir / "pairs.txt", pairs);
    GroupPairs(dir / "pairs.txt", dir / "out.txt");
    ASSERT_TRUE(std::filesystem::exists(dir / "out.txt"));
    EXPECT_EQ(test::ReadBytes(dir / "out.txt"), grouped) << pairs;
  }
}

// The union puts the second file's additions after the first file's pairs of
// the identifier; the intersection keeps the confirmed pairs in the first
// file's order. A starred name of the first file counts as marked and is
// written up to its "*": the second file's m1 confirms the first stored name
// that reads m1 without stars, which may be "m1*" itself.
TEST(MergePairs, UnionAndIntersection) {
  struct Row {
    const char *first, *second;
    bool intersection;
    const char* merged;
  };
  const Row rows[] = {
      {">A\tm1\r\n>B\tm2\r\n", ">C\tm9\n>A\tm3\n>A\tm1\n", false, ">A\tm1\r\n>A\tm3\r\n>B\tm2\r\n>C\tm9\r\n"},
      {">A\tm1\r\n>A\tm2\r\n>B\tm3\r\n>A\tm4\r\n", ">A\tm4\n>A\tm4\n>A\tm1\n>C\tm1\n>C\tm1\n>B\tm9\n", true,
       ">A\tm1\r\n>A\tm4\r\n"},
      {">A\tm1\r\n", "", true, ""},
      {"", ">A\tm1\n", true, ""},
      {">A\tm1*\r\n>A\tm1\r\n>A\tm2\r\n", ">A\tm1\n>A\tm2*\n", true, ">A\tm1\r\n"},
      {">A\tm1\r\n>A\tm1*\r\n", ">A\tm1\n", true, ">A\tm1\r\n>A\tm1\r\n"}};
  for (const Row& row : rows) {
    test::TempDir dir;
    test::WriteBytes(dir / "m.txt", row.first);
    test::WriteBytes(dir / "t.txt", row.second);
    (row.intersection ? MergePairsIntersection : MergePairsUnion)(dir / "m.txt", dir / "t.txt", dir / "out.txt", {});
    ASSERT_TRUE(std::filesystem::exists(dir / "out.txt"));
    EXPECT_EQ(test::ReadBytes(dir / "out.txt"), row.merged) << row.first << "|" << row.second;
  }
}

}  // namespace
}  // namespace velmora
