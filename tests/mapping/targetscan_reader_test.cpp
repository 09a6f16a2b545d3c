#include "mapping/targetscan_reader.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

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

}  // namespace
}  // namespace velmora
