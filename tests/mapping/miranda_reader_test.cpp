#include "mapping/miranda_reader.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velmora
