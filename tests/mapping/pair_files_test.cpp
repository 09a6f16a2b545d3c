// The pair files of the mapping: pairs taken from each predictor's output
// with their miRNA names normalised, grouped, merged, and written as sets.

#include <gtest/gtest.h>

#include <functional>

#include "mapping/miranda_reader.h"
#include "mapping/mirna_name.h"
#include "mapping/pair_table.h"
#include "mapping/set_file.h"
#include "mapping/targetscan_reader.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

// A reader's outcome on dir/out.txt: the pair file `pairs` when it reads the
// output, or no pair file and the failure naming the file, then `failure`.
void ExpectPairsOrFailure(const test::TempDir& dir, const char* pairs, const std::string& failure,
                          const std::function<void()>& read) {
  const std::string outcome = test::FailureOf(read);
  if (pairs) {
    EXPECT_EQ(outcome, "no failure");
    ASSERT_TRUE(std::filesystem::exists(dir / "pairs.txt"));
    EXPECT_EQ(test::ReadBytes(dir / "pairs.txt"), pairs);
    return;
  }
  EXPECT_EQ(outcome, (dir / "out.txt").string() + failure);
  EXPECT_FALSE(std::filesystem::exists(dir / "pairs.txt"));
}

// A pair for every scan header: the miRNA normalised, the name from after the
// first " vs " to the line's end; any other line is read past and repeats are
// kept, and CR LF reads as LF. Only the closing line, last, tells a complete
// output from one cut short; that and a scan header without a target name
// are refused naming the file (and line), and nothing is written.
TEST(ExtractMirandaPairs, APairPerScanHeaderOfACompleteOutput) {
  const std::string end = "Scan Complete\n\n";
  const std::string cutShort = ": ends before the scanner's closing line \"Scan Complete\"; the output was cut short";
  const std::string noTarget = ": the scan names no target after \"vs\"";
  struct Row {
    std::string output;
    const char* pairs;    // when it is read
    std::string failure;  // after the file's name, when it is refused
  };
  const Row rows[] = {
      {"Performing Scan: hsa-miR-21-5p vs LNC1\n" + end, ">LNC1\thsa-mir-21\r\n", ""},
      {"Performing Scan: hsa-miR-21-5p vs LNC1\r\nScan Complete\r\n\r\n", ">LNC1\thsa-mir-21\r\n", ""},
      {"miranda v3.3a\nRead Sequence:LNC1 (100 nt)\nPerforming Scan: hsa-let-7a-5p vs Lnc1\n"
       "   Forward:\tScore: 150.000000  Q:2 to 21  R:3 to 25\n>hsa-let-7a-5p\tLnc1\t150.00\n"
       "Performing Scan: hsa-let-7a-5p vs Lnc1\n" +
           end,
       ">Lnc1\thsa-let-7a\r\n>Lnc1\thsa-let-7a\r\n", ""},
      {"Performing Scan: hsa-miR-1 vs lnc vs other\n" + end, ">lnc vs other\thsa-mir-1\r\n", ""},
      {"Performing Scan: hsa-miR1 vs L\nPerforming Scan: hsa-miR-1-5p\n" + end, "", ""},  // two parts; no "vs"
      {"Scan Complete", "", ""},
      {"", nullptr, cutShort},
      {"Performing Scan: hsa-miR-1-5p vs L\n", nullptr, cutShort},
      {"Scan Complete\nPerforming Scan: hsa-miR-1-5p vs L\n", nullptr, cutShort},
      {"Performing Scan: hsa-miR-1-5p vs L\nScan Compl", nullptr, cutShort},
      {"Scan Complete\n######@END@#\nPerforming Scan: hsa-miR-1-5p vs L\n", nullptr, cutShort},
      {"Performing Scan: hsa-miR-1-5p vs\n" + end, nullptr, ": line 1" + noTarget},
      {"Performing Scan: hsa-miR-1-5p vs L\r\nPerforming Scan: hsa-miR-2-5p vs \r\n" + end, nullptr,
       ": line 2" + noTarget},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.output);
    test::TempDir dir;
    test::WriteBytes(dir / "out.txt", row.output);
    ExpectPairsOrFailure(dir, row.pairs, row.failure, [&] { ExtractMirandaPairs(dir / "out.txt", dir / "pairs.txt"); });
  }
}

// A pair line for every site whose miRNA (its first character dropped when
// asked) normalises to a name on the list, in the list's exact case; column
// one is kept whole. The output is its header line and then site lines of 12
// fields, each ended by LF or CR LF; anything else is refused naming the file
// and line, and nothing is written.
TEST(ExtractTargetScanPairs, APairPerSiteOfAListedMirna) {
  const std::string header = std::string(kSiteFinderHeader) + "\n";
  const auto site = [](const std::string& gene, const std::string& family) {
    return gene + "\t" + family + "\t9606\t10\t16\t10\t16\t1\t7mer-m8\tx\t7mer-m8\t9606\n";
  };
  const std::string crlf = std::string(kSiteFinderHeader) + "\r\n" + site(">LNC1", ">hsa-miR-21-5p");
  const std::string cutShort = ": ends without a line end; the site finder's output was cut short";
  const std::string notHeader = ": line 1: not the site finder's header line; this is not its output";
  struct Row {
    std::string output;
    bool dropFirstChar;
    const char* pairs;    // when it is read
    std::string failure;  // after the file's name, when it is refused
  };
  const Row rows[] = {
      {header + site(">LNC1", ">hsa-miR-21-5p"), true, ">LNC1\thsa-mir-21\n", ""},
      {crlf.substr(0, crlf.size() - 1) + "\r\n", true, ">LNC1\thsa-mir-21\n", ""},
      {header + site(">Lnc A", ">hsa-let-7a-5p") + site(">Lnc A", ">hsa-let-7a-3p"), true,
       ">Lnc A\thsa-let-7a\n>Lnc A\thsa-let-7a\n", ""},
      {header + site(">L", "xhsa-miR-21-5p"), true, ">L\thsa-mir-21\n", ""},
      {header + site(">L", "hsa-miR-21-5p"), false, ">L\thsa-mir-21\n", ""},
      {header + site(">L", "hsa-miR-21-5p"), true, "", ""},                               // "sa-mir-21" is not listed
      {header + site(">L", ">hsa-miR-9-5p") + site(">L", ">hsa-miR-155"), true, "", ""},  // the list holds "HSA-MIR-9"
      {header + site(">L", ">hsa-miR21") + site(">L", ">"), true, "", ""},
      {header, true, "", ""},
      {"", true, nullptr, ": empty; the site finder writes at least its header line"},
      {std::string(kSiteFinderHeader), true, nullptr, ": line 1" + cutShort},
      {header + site(">L", ">hsa-miR-21-5p").substr(0, 40), true, nullptr, ": line 2" + cutShort},
      {header + ">L\t>hsa-miR-21-5p\t9606\t1\n", true, nullptr, ": line 2: 4 fields where a site line has 12"},
      {header + site(">L", ">hsa-miR-21-5p\tx"), true, nullptr, ": line 2: 13 fields where a site line has 12"},
      {header + site(">L", ">hsa-miR-21-5p") + "\n" + site(">L", ">hsa-miR-21-5p"), true, nullptr,
       ": line 3: 1 field where a site line has 12"},
      {header + site(">L", ">hsa-miR-21-5p") + header + site(">L", ">hsa-miR-21-5p"), true, nullptr,
       ": line 3: 13 fields where a site line has 12"},
      {header + "######@END@#\n" + site(">L", ">hsa-miR-21-5p"), true, nullptr,
       ": line 2: 1 field where a site line has 12"},
      {site(">L", ">hsa-miR-21-5p"), true, nullptr, notHeader},
      {"a_Gene_ID\tmiRNA_family_ID\tspecies_ID\n" + site(">L", ">hsa-miR-21-5p"), true, nullptr, notHeader},
      {"\x1f\x8b\x08garbage\n", true, nullptr, notHeader},
  };
  test::TempDir dir;
  test::WriteBytes(dir / "nor_mir.txt", "hsa-mir-21\r\n\r\nhsa-let-7a\r\nHSA-MIR-9\r\n");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.output);
    test::WriteBytes(dir / "out.txt", row.output);
    std::filesystem::remove(dir / "pairs.txt");
    ExpectPairsOrFailure(dir, row.pairs, row.failure, [&] {
      ExtractTargetScanPairs(dir / "out.txt", dir / "pairs.txt", dir / "nor_mir.txt", true, false, row.dropFirstChar);
    });
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
