#include "run/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/test_support.h"

namespace velmora {
namespace {

std::vector<std::string> ReadAll(const std::filesystem::path& path, bool stopAtLineFeed) {
  std::vector<std::string> lines;
  LineSource source(path, stopAtLineFeed);
  for (std::string line; source.Next(line);) lines.push_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, HandlesAreIssuedInOrderAndNeverReused) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.txt", "x");
  const std::int32_t first = OpenFileHandle(dir / "a.txt");
  EXPECT_EQ(first, FileCount());
  CloseFileHandle(first);
  EXPECT_EQ(OpenFileHandle(dir / "a.txt"), first + 1);
  // A failed open still uses up a number.
  EXPECT_EQ(OpenFileHandle(dir / "no-such-folder" / "x.txt"), -1);
  EXPECT_EQ(OpenFileHandle(dir / "a.txt"), first + 3);
  CloseAllFiles();
}

TEST(LineReader, MissingFileIsCreatedEmpty) {
  test::TempDir dir;
  const std::int32_t handle = OpenFileHandle(dir / "never-written.txt");
  ASSERT_GT(handle, 0);
  EXPECT_EQ(ReadFileLine(handle, true), EndMark);
  EXPECT_TRUE(std::filesystem::exists(dir / "never-written.txt"));
  CloseFileHandle(handle);
}

TEST(LineReader, FailedClosedAndUnknownHandlesReadAsEmptyFiles) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.txt", "line\n");
  const std::int32_t handle = OpenFileHandle(dir / "a.txt");
  CloseFileHandle(handle);
  EXPECT_EQ(ReadFileLine(handle, true), EndMark);
  EXPECT_EQ(ReadFileLine(-1, true), EndMark);
  EXPECT_EQ(ReadFileLine(0, false), EndMark);
  EXPECT_EQ(ReadFileLine(FileCount() + 5, false), EndMark);
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
  test::WriteBytes(dir / "cr.txt", "A\rXB\r");
  EXPECT_EQ(ReadAll(dir / "cr.txt", false), (Lines{"A", "B"}));
}

TEST(LineReader, EmptyLinesAreLinesAndAnEndMarkLineEndsTheFile) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.txt", "A\n\nB\n######@END@#\nC\n");
  EXPECT_EQ(ReadAll(dir / "a.txt", true), (Lines{"A", "", "B"}));
}

TEST(LineReader, CloseAllFilesEndsEveryOpenHandle) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.txt", "A\nB\n");
  const std::int32_t handle = OpenFileHandle(dir / "a.txt");
  EXPECT_EQ(ReadFileLine(handle, true), "A");
  CloseAllFiles();
  EXPECT_EQ(ReadFileLine(handle, true), EndMark);
}

}  // namespace
}  // namespace velmora
