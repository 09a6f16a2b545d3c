#include "mapping/miranda_reader.h"

#include <gtest/gtest.h>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

// The output as the scanner ends it.
std::string Extract(const std::string& output) {
  test::TempDir dir;
  test::WriteBytes(dir / "out.txt", output + "Scan Complete\n\n");
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

// Only the closing line tells a complete output from one cut short.
TEST(ExtractMirandaPairs, AnOutputCutShortIsRefusedNamingIt) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"Performing Scan: hsa-miR-1-5p vs L\nScan Complete\n\n", true},
      {"Performing Scan: hsa-miR-1-5p vs L\r\nScan Complete\r\n", true},
      {"Scan Complete", true},
      {"", false},
      {"Performing Scan: hsa-miR-1-5p vs L\n", false},
      {"Scan Complete\nPerforming Scan: hsa-miR-1-5p vs L\n", false},
      {"Scan Compl", false},
  };
  for (const auto& [output, complete] : cases) {
    test::TempDir dir;
    test::WriteBytes(dir / "out.txt", output);
    if (complete) {
      EXPECT_NO_THROW(ExtractMirandaPairs(dir / "out.txt", dir / "pairs.txt")) << output;
      continue;
    }
    try {
      ExtractMirandaPairs(dir / "out.txt", dir / "pairs.txt");
      ADD_FAILURE() << "accepted: " << output;
    } catch (const RunFailure& failure) {
      EXPECT_EQ(std::string(failure.what()), (dir / "out.txt").string() +
                                                 ": ends before the scanner's closing line \"Scan Complete\"; the "
                                                 "output was cut short");
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "pairs.txt"));
  }
}

}  // namespace
}  // namespace velmora
