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

// CR LF, LF and CR in both modes (the byte after a CR is skipped whatever it
// is), empty lines, the end mark, and lines longer than the buffer.
TEST(LineReader, LinesInEachMode) {
  struct Case {
    std::string bytes;
    bool stopAtLineFeed;
    Lines lines;
  };
  const std::string longLine(200000, 'x');
  const Case cases[] = {
      {"A\r\nB", true, {"A\r", "B"}},
      {"A\r\nB", false, {"A", "B"}},
      {"A\nB\n", false, {"A\nB\n"}},
      {"A\nB\n", true, {"A", "B"}},
      {"A\rXB\r\r\nC", false, {"A", "B", "\nC"}},
      {"A\n\nB\n######@END@#\nC\n", true, {"A", "", "B"}},
      {longLine + "\n" + longLine, true, {longLine, longLine}},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    test::WriteBytes(dir / "a.txt", c.bytes);
    EXPECT_EQ(ReadAll(dir / "a.txt", c.stopAtLineFeed), c.lines) << testing::PrintToString(c.bytes.substr(0, 20));
  }
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

// A file that cannot be opened or read must never pass for an empty or a
// short one, nor a stop request for the end of the file.
TEST(LineSource, FailsOnAFileThatCannotBeReadAndStopsOnRequest) {
  test::TempDir dir;
  EXPECT_EQ(test::FailureOf([&] { ReadAll(dir / "missing.txt", true); }),
            (dir / "missing.txt").string() + ": cannot be read: No such file or directory");
  EXPECT_FALSE(fs::exists(dir / "missing.txt"));  // reading never creates a file
  // The kernel refuses to read this file's first page: a real read error.
  EXPECT_EQ(test::FailureOf([&] { ReadAll("/proc/self/mem", true); }),
            "/proc/self/mem: cannot be read: Input/output error");
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "line\n";  // the request is looked at every 4096 lines
  test::WriteBytes(dir / "a.txt", many);
  std::stop_source stop;
  stop.request_stop();
  LineSource source(dir / "a.txt", true, stop.get_token());
  EXPECT_THROW(for (std::string line; source.Next(line);){}, RunStopped);
}

}  // namespace
}  // namespace velmora
