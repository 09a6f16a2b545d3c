#include "mapping/miranda_reader.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

std::string Extract(const std::string& output) {
  test::TempDir dir;
  test::WriteBytes(dir / "out.txt", output);
  ExtractMirandaPairs(dir / "out.txt", dir / "pairs.txt");
  return test::ReadBytes(dir / "pairs.txt");
}

TEST(ExtractMirandaPairs, ScanHeaderGivesAPair) {
  EXPECT_EQ(Extract("Performing Scan: hsa-miR-21-5p vs LNC1\n"), ">LNC1\thsa-mir-21\r\n");
}

TEST(ExtractMirandaPairs, TrailingCarriageReturnStaysInTheName) {
  EXPECT_EQ(Extract("Performing Scan: hsa-miR-21-5p vs LNC1\r\n"), ">LNC1\r\thsa-mir-21\r\n");
}

TEST(ExtractMirandaPairs, OtherLinesAreIgnoredAndRepeatsAreKept) {
  EXPECT_EQ(Extract("miranda v3.3a\n"
                    "Read Sequence:LNC1 (100 nt)\n"
                    "Performing Scan: hsa-let-7a-5p vs Lnc1\n"
                    "   Forward:\tScore: 150.000000  Q:2 to 21  R:3 to 25\n"
                    ">hsa-let-7a-5p\tLnc1\t150.00\n"
                    "Performing Scan: hsa-let-7a-5p vs Lnc1\n"),
            ">Lnc1\thsa-let-7a\r\n>Lnc1\thsa-let-7a\r\n");
}

TEST(ExtractMirandaPairs, TheFirstVsIsTaken) {
  EXPECT_EQ(Extract("Performing Scan: hsa-miR-1 vs lnc vs other\n"), ">lnc vs other\thsa-mir-1\r\n");
}

TEST(ExtractMirandaPairs, UnusableScanLinesAreSkipped) {
  EXPECT_EQ(Extract("Performing Scan: hsa-miR1 vs L\n"   // two parts
                    "Performing Scan: hsa-miR-1-5p\n"),  // no "vs"
            "");
  EXPECT_EQ(Extract(""), "");
}

}  // namespace
}  // namespace velmora
