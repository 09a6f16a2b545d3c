// The pair files of the mapping: pairs taken from each predictor's output
// with their miRNA names normalised, grouped, merged, and written as sets.

#include <gtest/gtest.h>

#include "mapping/miranda_reader.h"
#include "mapping/mirna_name.h"
#include "mapping/pair_table.h"
#include "mapping/set_file.h"
#include "mapping/targetscan_reader.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

// A pair for every scan header: the miRNA normalised, the name from after the
// first " vs " to the line's end (a CR stays in it); any other line is read
// past and repeats are kept. Only the closing line, last, tells a complete
// output from one cut short, which is refused naming it and writes nothing.
TEST(ExtractMirandaPairs, APairPerScanHeaderOfACompleteOutput) {
  const std::string end = "Scan Complete\n\n";
  const std::pair<std::string, const char*> rows[] = {
      {"Performing Scan: hsa-miR-21-5p vs LNC1\n" + end, ">LNC1\thsa-mir-21\r\n"},
      {"Performing Scan: hsa-miR-21-5p vs LNC1\r\nScan Complete\r\n", ">LNC1\r\thsa-mir-21\r\n"},
      {"miranda v3.3a\nRead Sequence:LNC1 (100 nt)\nPerforming Scan: hsa-let-7a-5p vs Lnc1\n"
       "   Forward:\tScore: 150.000000  Q:2 to 21  R:3 to 25\n>hsa-let-7a-5p\tLnc1\t150.00\n"
       "Performing Scan: hsa-let-7a-5p vs Lnc1\n" +
           end,
       ">Lnc1\thsa-let-7a\r\n>Lnc1\thsa-let-7a\r\n"},
      {"Performing Scan: hsa-miR-1 vs lnc vs other\n" + end, ">lnc vs other\thsa-mir-1\r\n"},
      {"Performing Scan: hsa-miR1 vs L\nPerforming Scan: hsa-miR-1-5p\n" + end, ""},  // two parts; no "vs"
      {"Scan Complete", ""},
      {"", nullptr},
      {"Performing Scan: hsa-miR-1-5p vs L\n", nullptr},
      {"Scan Complete\nPerforming Scan: hsa-miR-1-5p vs L\n", nullptr},
      {"Performing Scan: hsa-miR-1-5p vs L\nScan Compl", nullptr},
  };
  for (const auto& [output, pairs] : rows) {
    SCOPED_TRACE(output);
    test::TempDir dir;
    test::WriteBytes(dir / "out.txt", output);
    const std::string failure = test::FailureOf([&] { ExtractMirandaPairs(dir / "out.txt", dir / "pairs.txt"); });
    if (pairs) {
      EXPECT_EQ(failure, "no failure");
      EXPECT_TRUE(std::filesystem::exists(dir / "pairs.txt"));
      EXPECT_EQ(test::ReadBytes(dir / "pairs.txt"), pairs);
      continue;
    }
    EXPECT_EQ(failure, (dir / "out.txt").string() +
                           ": ends before the scanner's closing line \"Scan Complete\"; the output was cut short");
    EXPECT_FALSE(std::filesystem::exists(dir / "pairs.txt"));
  }
}

// A pair line for every site whose miRNA (its first character dropped when
// asked) normalises to a name on the list, in the list's exact case; column
// one is kept whole. Header lines, blank lines and lines without three
// columns or a three-part name give nothing.
TEST(ExtractTargetScanPairs, APairPerSiteOfAListedMirna) {
  struct Row {
    const char* output;
    bool dropFirstChar;
    const char* pairs;
  };
  const Row rows[] = {{"a_Gene_ID\tmiRNA_family_ID\tspecies_ID\r\nUTR\tMICRO\tx\nREFSEQ\tMIxx\ty\n   \n\r\n"
                       ">LNC1\t>hsa-miR-21-5p\t9606\t1\r\n",
                       true, ">LNC1\thsa-mir-21\n"},
                      {">Lnc A\t>hsa-let-7a-5p\t9606\n>Lnc A\t>hsa-let-7a-3p\t9606\n", true,
                       ">Lnc A\thsa-let-7a\n>Lnc A\thsa-let-7a\n"},
                      {">L\txhsa-miR-21-5p\t9606\n", true, ">L\thsa-mir-21\n"},
                      {">L\thsa-miR-21-5p\t9606\n", false, ">L\thsa-mir-21\n"},
                      {">L\thsa-miR-21-5p\t9606\n", true, ""},                          // "sa-mir-21" is not listed
                      {">L\t>hsa-miR-9-5p\t9606\n>L\t>hsa-miR-155\t9606\n", true, ""},  // the list holds "HSA-MIR-9"
                      {">L\t>hsa-miR-21-5p\n>L\t>hsa-miR21\t9606\n>L\t>\t9606\n", true, ""}};
  test::TempDir dir;
  test::WriteBytes(dir / "nor_mir.txt", "hsa-mir-21\r\n\r\nhsa-let-7a\r\nHSA-MIR-9\r\n");
  for (const Row& row : rows) {
    test::WriteBytes(dir / "out.txt", row.output);
    std::filesystem::remove(dir / "pairs.txt");
    ExtractTargetScanPairs(dir / "out.txt", dir / "pairs.txt", dir / "nor_mir.txt", true, false, row.dropFirstChar);
    ASSERT_TRUE(std::filesystem::exists(dir / "pairs.txt"));
    EXPECT_EQ(test::ReadBytes(dir / "pairs.txt"), row.pairs) << row.output;
  }
  std::string list;
  for (int i = 0; i <= kReferenceCapacity; ++i) list += "hsa-mir-" + std::to_string(i) + "\r\n";
  test::WriteBytes(dir / "nor_mir.txt", list);
  EXPECT_EQ(test::FailureOf([&] {
              ExtractTargetScanPairs(dir / "out.txt", dir / "pairs.txt", dir / "nor_mir.txt", true, false, true);
            }),
            (dir / "nor_mir.txt").string() + ": more than 10000 reference miRNAs");
}

TEST(NormaliseMirnaName, KeepsThreePartsLowerCasedOrIsNoName) {
  const std::pair<const char*, std::optional<std::string>> rows[] = {{"hsa-miR-21-5p", "hsa-mir-21"},
                                                                     {"hsa-let-7a-3p", "hsa-let-7a"},
                                                                     {"hsa-mir-7-1", "hsa-mir-7"},
                                                                     {"HSA-MIR-21", "hsa-mir-21"},
                                                                     {"hsa-miR-21*", "hsa-mir-21*"},
                                                                     {"hsa-miR21", std::nullopt},
                                                                     {"", std::nullopt}};
  for (const auto& [identifier, name] : rows) EXPECT_EQ(NormaliseMirnaName(identifier), name) << identifier;
}

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
