#include "engine/input_files.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

// Both files come from the same records, names upper-cased alike, so that
// the two predictors report every lncRNA under one name.
TEST(PredictorInputs, BothFilesFromTheSameRecords) {
  test::TempDir dir;
  const auto records = ReadLncRnaFasta(">h19 NR_002196.2\r\nac gu\r\nggcc\r\n>Gas5\nuu\tn\n");
  WriteMirandaInput(dir / "ori.txt", records);
  WriteTargetScanInput(dir / "custom.txt", records);
  EXPECT_EQ(test::ReadBytes(dir / "ori.txt"), ">H19 NR_002196.2\r\nACGUGGCC\r\n>GAS5\r\nUUN\r\n");
  EXPECT_EQ(test::ReadBytes(dir / "custom.txt"), ">H19\t9606\tACGUGGCC\r\n>GAS5\t9606\tUUN\r\n");
}

}  // namespace
}  // namespace velmora
