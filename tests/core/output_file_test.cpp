#include "core/output_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "core/file_bytes.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

TEST(OutputFile, TheFinalNameOnlyEverHoldsACompleteFile) {
  test::TempDir dir;
  test::WriteBytes(dir / "result.xls", "the last run's result");
  {
    OutputFile out(dir / "result.xls");
    out.Write("half");
    EXPECT_EQ(test::ReadBytes(dir / "result.xls"), "the last run's result");
    EXPECT_TRUE(fs::exists(dir / "result.xls.partial"));
    out.Write(" and the rest");
    out.Close();
  }
  EXPECT_EQ(ReadFileBytes(dir / "result.xls"), "half and the rest");
  EXPECT_FALSE(fs::exists(dir / "result.xls.partial"));

  {  // a run that fails before Close leaves the earlier file and no debris
    OutputFile out(dir / "result.xls");
    out.Write("never finished");
  }
  EXPECT_EQ(ReadFileBytes(dir / "result.xls"), "half and the rest");
  EXPECT_FALSE(fs::exists(dir / "result.xls.partial"));
}

TEST(OutputFile, FailuresNameTheFileAndTheReason) {
  test::TempDir dir;
  EXPECT_EQ(test::FailureOf([&] { OutputFile out(dir / "no-such-folder" / "x.txt"); }),
            "cannot create " + (dir / "no-such-folder/x.txt").string() + ": No such file or directory");
  // A file size limit makes the write fail the way a full disk does.
  signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small{4096, limit.rlim_max};
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_EQ(test::FailureOf([&] {
              OutputFile out(dir / "big.txt");
              out.Write(std::string(1 << 16, 'x'));
              out.Close();
            }),
            "cannot write " + (dir / "big.txt").string() + ": File too large");
  setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_FALSE(fs::exists(dir / "big.txt"));
  EXPECT_FALSE(fs::exists(dir / "big.txt.partial"));
}

// A link planted at the temporary name is removed, never written through, and
// a second Close neither writes again nor flushes other streams.
TEST(OutputFile, APlantedLinkIsNeverWrittenThroughAndCloseIsOnce) {
  test::TempDir dir;
  test::WriteBytes(dir / "victim", "someone's file");
  fs::create_symlink(dir / "victim", dir / "result.xls.partial");
  OutputFile out(dir / "result.xls");
  out.Write("result");
  out.Close();
  out.Close();
  EXPECT_EQ(ReadFileBytes(dir / "victim"), "someone's file");
  EXPECT_EQ(ReadFileBytes(dir / "result.xls"), "result");
  EXPECT_FALSE(fs::is_symlink(dir / "result.xls"));
}

}  // namespace
}  // namespace velmora
