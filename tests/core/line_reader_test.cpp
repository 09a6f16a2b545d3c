#include "core/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

Lines ReadAll(const fs::path& path, bool stopAtLineFeed) {
  Lines lines;
  LineSource source(path, stopAtLineFeed);
  for (std::string line; source.Next(line);) lines.push_back(line);
  return lines;
}

std::string FailureOf(const fs::path& path) {
  return test::FailureOf([&] { ReadAll(path, true); });
}

TEST(LineReader, LineEndModes) {
  test::TempDir dir;
  test::WriteBytes(dir / "crlf.txt", "A\r\nB");
  EXPECT_EQ(ReadAll(dir / "crlf.txt", true), (Lines{"A\r", "B"}));
  EXPECT_EQ(ReadAll(dir / "crlf.txt", false), (Lines{"A", "B"}));

  test::WriteBytes(dir / "lf.txt", "A\nB\n");
  EXPECT_EQ(ReadAll(dir / "lf.txt", false), (Lines{"A\nB\n"}));
  EXPECT_EQ(ReadAll(dir / "lf.txt", true), (Lines{"A", "B"}));

  // The byte after a CR is skipped whatever it is.
  test::WriteBytes(dir / "cr.txt", "A\rXB\r\r\nC");
  EXPECT_EQ(ReadAll(dir / "cr.txt", false), (Lines{"A", "B", "\nC"}));
}

TEST(LineReader, EmptyLinesAreLinesAndAnEndMarkLineEndsTheFile) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.txt", "A\n\nB\n######@END@#\nC\n");
  EXPECT_EQ(ReadAll(dir / "a.txt", true), (Lines{"A", "", "B"}));
}

TEST(LineReader, LinesLongerThanTheBufferComeWhole) {
  test::TempDir dir;
  const std::string longLine(200000, 'x');
  test::WriteBytes(dir / "a.txt", longLine + "\n" + longLine);
  EXPECT_EQ(ReadAll(dir / "a.txt", true), (Lines{longLine, longLine}));
}

TEST(FileHandles, IssuedInOrderAndClosedOrUnknownHandlesReadAsEmptyFiles) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.txt", "A\nB\n");
  FileHandles files;
  EXPECT_EQ(files.OpenFileHandle(dir / "missing.txt"), -1);
  const std::int32_t handle = files.OpenFileHandle(dir / "a.txt");
  EXPECT_EQ(handle, 2);  // a failed open uses a number too
  EXPECT_EQ(files.ReadFileLine(handle, true), "A");
  files.CloseAllFiles();
  for (std::int32_t unknown : {handle, -1, 0, 1, files.FileCount() + 5}) {
    EXPECT_EQ(files.ReadFileLine(unknown, true), EndMark) << unknown;
  }
  EXPECT_EQ(files.OpenFileHandle(dir / "a.txt"), 3);
  // Another table's reads and closes never reach this one's files.
  FileHandles other;
  EXPECT_EQ(other.OpenFileHandle(dir / "a.txt"), 1);
  other.CloseAllFiles();
  EXPECT_EQ(files.ReadFileLine(3, true), "A");
}

// A file that cannot be read must never pass for an empty or a short one.
TEST(LineReader, FilesThatCannotBeReadAreFailuresNamingThem) {
  test::TempDir dir;
  EXPECT_EQ(FailureOf(dir / "missing.txt"),
            (dir / "missing.txt").string() + ": cannot be read: No such file or directory");
  EXPECT_FALSE(fs::exists(dir / "missing.txt"));  // reading never creates a file
  EXPECT_EQ(FailureOf(dir.path()), dir.path().string() + ": cannot be read: Is a directory");
  // The kernel refuses to read this file's first page: a real read error.
  EXPECT_EQ(FailureOf("/proc/self/mem"), "/proc/self/mem: cannot be read: Input/output error");
}

TEST(LineSource, StopRequestEndsAReadBetweenTwoLines) {
  test::TempDir dir;
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "line\n";
  test::WriteBytes(dir / "a.txt", many);
  std::stop_source stop;
  stop.request_stop();
  LineSource source(dir / "a.txt", true, stop.get_token());
  std::string line;
  EXPECT_THROW(
      {
        while (source.Next(line)) {
        }
      },
      RunStopped);
}

}  // namespace
}  // namespace velmora
