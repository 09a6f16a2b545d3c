#include "engine/workspace_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string Failure(const fs::path& workspace) {
  try {
    WorkspaceLock lock(workspace);
  } catch (const RunFailure& failure) {
    return failure.what();
  }
  return "held";
}

// flock locks belong to an open file, so a second lock of the same process
// meets the first as another run's would.
TEST(WorkspaceLock, OneHolderAtATimeAndTheOtherIsToldWho) {
  test::TempDir dir;
  const fs::path work = dir / "work";
  std::optional<WorkspaceLock> first(std::in_place, work);
  EXPECT_TRUE(fs::is_directory(work));
  EXPECT_EQ(test::ReadBytes(work / ".velmora-lock"), std::to_string(getpid()));
  EXPECT_EQ(Failure(work), "another run (pid " + std::to_string(getpid()) + ") is using " + work.string() +
                               "; wait for it or give --workdir");
  first.reset();
  EXPECT_EQ(Failure(work), "held");
}

TEST(WorkspaceLock, AWorkspaceThatCannotBeUsedIsNamed) {
  test::TempDir dir;
  test::WriteBytes(dir / "file", "x");
  EXPECT_EQ(Failure(dir / "file").rfind((dir / "file").string() + ": cannot be used as the workspace: not a folder", 0),
            0u);
  EXPECT_NE(Failure(dir / "missing/work").find("cannot be used as the workspace"), std::string::npos);
}

TEST(RunLocked, RunsTheWorkOnlyWhenTheWorkspaceIsFree) {
  test::TempDir dir;
  test::RecordingFrontend frontend;
  Session session{dir.path(), frontend, test::BuiltFactorials()};
  int runs = 0;
  EXPECT_TRUE(RunLocked(session, [&] { return ++runs == 1; }));
  WorkspaceLock held(session.Workspace());
  EXPECT_FALSE(RunLocked(session, [&] { return ++runs > 0; }));
  EXPECT_EQ(runs, 1);
  ASSERT_EQ(frontend.messages.size(), 1u);
  EXPECT_EQ(frontend.messages[0].rfind("another run (pid ", 0), 0u);
}

}  // namespace
}  // namespace velmora
