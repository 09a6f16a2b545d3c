#include "mapping/targetscan_reader.h"

#include <gtest/gtest.h>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

class TargetScanReaderTest : public ::testing::Test {
 protected:
  std::string Extract(const std::string& output, bool dropFirstChar = true) {
    test::WriteBytes(dir / "out.txt", output);
    ExtractTargetScanPairs(dir / "out.txt", dir / "pairs.txt", dir / "nor_mir.txt", true, false, dropFirstChar);
    return test::ReadBytes(dir / "pairs.txt");
  }
  void SetUp() override { test::WriteBytes(dir / "nor_mir.txt", "hsa-mir-21\r\n\r\nhsa-let-7a\r\nHSA-MIR-9\r\n"); }
  test::TempDir dir;
};

TEST_F(TargetScanReaderTest, HeadersBlankLinesAndCrLinesGiveNoPair) {
  EXPECT_EQ(Extract("a_Gene_ID\tmiRNA_family_ID\tspecies_ID\r\n"
                    "UTR\tMICRO\tx\n"
                    "REFSEQ\tMIxx\ty\n"
                    "   \n"
                    "\r\n"
                    ">LNC1\t>hsa-miR-21-5p\t9606\t1\r\n"),
            ">LNC1\thsa-mir-21\n");
}

TEST_F(TargetScanReaderTest, EverySiteGivesALineAndColumnOneIsKept) {
  EXPECT_EQ(Extract(">Lnc A\t>hsa-let-7a-5p\t9606\n>Lnc A\t>hsa-let-7a-3p\t9606\n"),
            ">Lnc A\thsa-let-7a\n>Lnc A\thsa-let-7a\n");
}

TEST_F(TargetScanReaderTest, DropFirstCharSwitch) {
  EXPECT_EQ(Extract(">L\txhsa-miR-21-5p\t9606\n", true), ">L\thsa-mir-21\n");
  EXPECT_EQ(Extract(">L\thsa-miR-21-5p\t9606\n", false), ">L\thsa-mir-21\n");
  EXPECT_EQ(Extract(">L\thsa-miR-21-5p\t9606\n", true), "");  // "sa-mir-21" is not listed
}

TEST_F(TargetScanReaderTest, OnlyListedNamesInTheirExactCaseCount) {
  // The list holds "HSA-MIR-9", which no normalised name equals.
  EXPECT_EQ(Extract(">L\t>hsa-miR-9-5p\t9606\n>L\t>hsa-miR-155\t9606\n"), "");
}

TEST_F(TargetScanReaderTest, UnusableLinesAreSkipped) {
  EXPECT_EQ(Extract(">L\t>hsa-miR-21-5p\n"    // one TAB only
                    ">L\t>hsa-miR21\t9606\n"  // two parts only
                    ">L\t>\t9606\n"),
            "");
}

TEST_F(TargetScanReaderTest, MoreThanTenThousandReferenceLinesIsAnError) {
  std::string list;
  for (int i = 0; i <= kReferenceCapacity; ++i) list += "hsa-mir-" + std::to_string(i) + "\r\n";
  test::WriteBytes(dir / "nor_mir.txt", list);
  EXPECT_THROW(Extract(">L\t>hsa-miR-1\t9606\n"), RunFailure);
}

}  // namespace
}  // namespace velmora
