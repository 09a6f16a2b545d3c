#include "engine/input_files.h"

#include <gtest/gtest.h>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Both files come from the same records, names upper-cased alike, so that
// the two predictors report every lncRNA under one name; a sequence read in
// pieces is written as one line.
TEST(PredictorInputs, BothFilesFromTheSameRecords) {
  test::TempDir dir;
  const std::string text = ">h19 NR_002196.2\r\nac gu\r\nggcc\r\n>Gas5\nuu\tn\n>Meg3 x\r" + std::string(70'000, 'a');
  for (std::size_t step : {std::size_t{1} << 16, std::size_t{5}}) {
    test::TrickleStream input(text, step);
    WritePredictorInputs(input, dir / "ori.txt", dir / "custom.txt");
    const std::string meg3(70'000, 'A');
    EXPECT_EQ(test::ReadBytes(dir / "ori.txt"),
              ">H19 NR_002196.2\r\nACGUGGCC\r\n>GAS5\r\nUUN\r\n>MEG3 X\r\n" + meg3 + "\r\n");
    EXPECT_EQ(test::ReadBytes(dir / "custom.txt"),
              ">H19\t9606\tACGUGGCC\r\n>GAS5\t9606\tUUN\r\n>MEG3\t9606\t" + meg3 + "\r\n");
  }
}

// A pass that fails or is stopped half-way leaves neither file.
TEST(PredictorInputs, NothingOfAPassThatDoesNotEnd) {
  test::TempDir dir;
  std::string text = ">a\n";
  for (int i = 0; i < 10'000; ++i) text += "ACGU\n";
  const std::string repeated = text + ">a\nGG\n";
  MemoryStream refused(repeated);
  const std::string failure =
      test::FailureOf([&] { WritePredictorInputs(refused, dir / "ori.txt", dir / "custom.txt"); });
  EXPECT_NE(failure.find("Input line 10002: the name \">a\" repeats the record of line 1"), std::string::npos)
      << failure;
  std::stop_source stop;
  stop.request_stop();
  MemoryStream stopped(text);
  EXPECT_THROW(WritePredictorInputs(stopped, dir / "ori.txt", dir / "custom.txt", stop.get_token()), RunStopped);
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace velmora
