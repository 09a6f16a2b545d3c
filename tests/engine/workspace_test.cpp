#include "engine/workspace.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

TEST(RmDirEX, EmptiesFilesButKeepsSubFolders) {
  test::TempDir dir;
  test::WriteBytes(dir / "tmp/result.xls", "old");
  test::WriteBytes(dir / "tmp/mir_lnc2.txt", "old");
  test::WriteBytes(dir / "tmp/keep/inner.txt", "kept");
  RmDirEX((dir / "tmp/").string());
  EXPECT_FALSE(std::filesystem::exists(dir / "tmp/result.xls"));
  EXPECT_FALSE(std::filesystem::exists(dir / "tmp/mir_lnc2.txt"));
  EXPECT_EQ(test::ReadBytes(dir / "tmp/keep/inner.txt"), "kept");
}

// A folder the user gave as workspace loses Velmora's files only.
TEST(RmDirEX, LeavesEveryOtherFileAlone) {
  test::TempDir dir;
  test::WriteBytes(dir / "work/notes.txt", "mine");
  test::WriteBytes(dir / "work/result.xls.partial", "cut short");
  test::WriteBytes(dir / "work/lnc_mirset.txt", "old");
  test::WriteBytes(dir / "work/.velmora-lock", "123");
  RmDirEX((dir / "work").string());
  EXPECT_EQ(test::ReadBytes(dir / "work/notes.txt"), "mine");
  EXPECT_TRUE(std::filesystem::exists(dir / "work/.velmora-lock"));
  EXPECT_FALSE(std::filesystem::exists(dir / "work/result.xls.partial"));
  EXPECT_FALSE(std::filesystem::exists(dir / "work/lnc_mirset.txt"));
}

TEST(RmDirEX, CreatesAMissingFolderWithOrWithoutTrailingSeparator) {
  test::TempDir dir;
  RmDirEX((dir / "tmp").string());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "tmp"));
  RmDirEX((dir / "tmp2/").string());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "tmp2"));
  // One level only: a missing parent is a failure, ignored.
  RmDirEX((dir / "missing/tmp").string());
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace velmora
