#include "engine/workspace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <set>

#include "engine/workspace_lock.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// The workspace loses Velmora's files and their cut-short forms only: a
// folder the user gave keeps the rest, sub-folders and the lock included.
TEST(RmDirEX, EmptiesOnlyVelmorasFiles) {
  test::TempDir dir;
  for (const char* file : {"result.xls", "mir_lnc2.txt", "lnc_mirset.txt", "result.xls.partial", "notes.txt",
                           ".velmora-lock", "keep/inner.txt"}) {
    test::WriteBytes(dir / "work" / file, file);
  }
  RmDirEX((dir / "work/").string());
  std::set<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(dir / "work")) {
    left.insert(fs::relative(entry.path(), dir / "work").string() + "=" +
                (entry.is_directory() ? "" : test::ReadBytes(entry.path())));
  }
  EXPECT_EQ(left, (std::set<std::string>{".velmora-lock=.velmora-lock", "keep=", "keep/inner.txt=keep/inner.txt",
                                         "notes.txt=notes.txt"}));
}

// A missing workspace is made, with or without a trailing separator; one
// level only, and a missing parent is a failure it ignores.
TEST(RmDirEX, CreatesAMissingFolderOneLevelDeep) {
  test::TempDir dir;
  RmDirEX((dir / "tmp").string());
  RmDirEX((dir / "tmp2/").string());
  RmDirEX((dir / "missing/tmp").string());
  EXPECT_TRUE(fs::is_directory(dir / "tmp") && fs::is_directory(dir / "tmp2"));
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

std::string LockFailure(const fs::path& workspace) {
  return test::FailureOf([&] { WorkspaceLock lock(workspace); });
}

// flock locks belong to an open file, so a second lock of the same process
// meets the first as another run's would; it is told the pid in the lock
// file, which the holder writes.
TEST(WorkspaceLock, OneHolderAtATimeAndTheOtherIsToldWho) {
  test::TempDir dir;
  const fs::path work = dir / "work";
  std::optional<WorkspaceLock> first(std::in_place, work);
  EXPECT_EQ(test::ReadBytes(work / ".velmora-lock"), std::to_string(getpid()));
  test::WriteBytes(work / ".velmora-lock", "4242");  // as a holder in another process would have
  EXPECT_EQ(LockFailure(work), "another run (pid 4242) is using " + work.string() + "; wait for it or give --workdir");
  first.reset();
  EXPECT_EQ(LockFailure(work), "no failure");
  test::WriteBytes(dir / "file", "x");
  EXPECT_EQ(
      LockFailure(dir / "file").rfind((dir / "file").string() + ": cannot be used as the workspace: not a folder", 0),
      0u);
  EXPECT_NE(LockFailure(dir / "missing/work").find("cannot be used as the workspace"), std::string::npos);
}

TEST(RunLocked, RunsTheWorkOnlyWhenTheWorkspaceIsFree) {
  test::TempDir dir;
  fs::create_directory(dir / "tmp");
  test::RecordingFrontend frontend;
  Session session{dir.path(), frontend, test::BuiltFactorials()};
  int runs = 0;
  EXPECT_TRUE(RunLocked(session, [&] { return ++runs == 1; }));
  WorkspaceLock held(session.Workspace());
  EXPECT_FALSE(RunLocked(session, [&] { return ++runs > 0; }));
  EXPECT_EQ(runs, 1);
  ASSERT_EQ(frontend.messages.size(), 3u);
  EXPECT_EQ(frontend.messages[0], "Workspace: " + (dir / "tmp").string());
  EXPECT_EQ(frontend.messages[1], "Reference: lib (" + (dir / "lib").string() + ")");
  EXPECT_EQ(frontend.messages[2].rfind("another run (pid ", 0), 0u);
}

}  // namespace
}  // namespace velmora
