// The core layer: whole files, gzip members, output files that only ever hold
// a complete file, the line readers and the default workspace.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <csignal>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <vector>

#include "core/file_bytes.h"
#include "core/gzip_file.h"
#include "core/input_source.h"
#include "core/installation.h"
#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/run_failure.h"
#include "core/sha256.h"
#include "core/text.h"
#include "core/text_lines.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

TEST(ReadFileBytes, EveryByteOrAFailureNamingTheFile) {
  test::TempDir dir;
  const std::string bytes("a\r\n\0b\xff", 6);
  test::WriteBytes(dir / "a.bin", bytes);
  EXPECT_EQ(ReadFileBytes(dir / "a.bin"), bytes);
  // A FIFO without a writer would block an ordinary open for ever.
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  // The kernel refuses to read /proc/self/mem's first page: a real read error.
  const std::pair<std::filesystem::path, const char*> refused[] = {{dir / "missing", "No such file or directory"},
                                                                   {dir.path(), "Is a directory"},
                                                                   {dir / "fifo", "not a regular file"},
                                                                   {"/dev/null", "not a regular file"},
                                                                   {"/proc/self/mem", "Input/output error"}};
  for (const auto& [path, reason] : refused) {
    EXPECT_EQ(test::FailureOf([&] { ReadFileBytes(path); }), path.string() + ": cannot be read: " + reason);
  }
}

// Published digests; the long one spans many read blocks.
TEST(Sha256FileHex, KnownDigestsAndAFileThatCannotBeRead) {
  test::TempDir dir;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& [bytes, digest] : cases) {
    test::WriteBytes(dir / "f", bytes);
    EXPECT_EQ(Sha256FileHex(dir / "f"), digest) << bytes.size() << " bytes";
  }
  EXPECT_EQ(test::FailureOf([&] { Sha256FileHex(dir / "missing"); }),
            (dir / "missing").string() + ": cannot be read: No such file or directory");
}

// The final name only ever holds a complete file, and a link planted at the
// temporary name is removed, never written through; a second Close neither
// writes again nor flushes other streams.
TEST(OutputFile, TheFinalNameOnlyEverHoldsACompleteFile) {
  test::TempDir dir;
  test::WriteBytes(dir / "result.xls", "the last run's result");
  test::WriteBytes(dir / "victim", "someone's file");
  fs::create_symlink(dir / "victim", dir / "result.xls.partial");
  {
    OutputFile out(dir / "result.xls");
    out.Write("half");
    EXPECT_EQ(test::ReadBytes(dir / "result.xls"), "the last run's result");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "result.xls.partial")));
    out.Write(" and the rest");
    out.Close();
    out.Close();
  }
  EXPECT_EQ(ReadFileBytes(dir / "victim"), "someone's file");
  for (const char* unfinished : {"", "never finished"}) {  // a run that fails before Close leaves no debris
    if (*unfinished) OutputFile(dir / "result.xls").Write(unfinished);
    EXPECT_EQ(ReadFileBytes(dir / "result.xls"), "half and the rest");
    EXPECT_FALSE(fs::is_symlink(dir / "result.xls") || fs::exists(dir / "result.xls.partial"));
  }
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

std::string Gzipped(const std::string& text) {
  test::TempDir dir;
  gzFile file = gzopen((dir / "x.gz").c_str(), "wb");
  gzwrite(file, text.data(), static_cast<unsigned>(text.size()));
  gzclose(file);
  return test::ReadBytes(dir / "x.gz");
}

std::string ReadAll(const InputSource& source) {
  const auto stream = source.Open();
  std::string bytes;
  char buffer[4096];
  while (const std::size_t got = stream->Read(buffer, sizeof buffer)) bytes.append(buffer, got);
  return bytes;
}

// A run reads its input twice: every kind of source opens anew from its
// first byte, and a descriptor stays open for the next pass. Plain and
// gzip files read alike, whole files too.
TEST(InputSource, EachPassReadsTheWholeInput) {
  test::TempDir dir;
  std::string fasta = ">HULC\r\n";
  for (int i = 0; i < 20000; ++i) fasta += "ACGUACGUNN\n";  // past one read buffer
  test::WriteBytes(dir / "a.fa", fasta);
  test::WriteBytes(dir / "a.fa.gz", Gzipped(fasta));
  EXPECT_EQ(ReadPlainOrGzipFile(dir / "a.fa"), fasta);
  EXPECT_EQ(ReadPlainOrGzipFile(dir / "a.fa.gz"), fasta);
  const int fd = open((dir / "a.fa.gz").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  lseek(fd, 0, SEEK_END);  // where a spool is left once written

  const std::vector<std::pair<std::string, InputSource>> sources = {
      {"text", InputSource::Text(fasta)},
      {"plain file", InputSource::File(dir / "a.fa")},
      {"gzip file", InputSource::File(dir / "a.fa.gz")},
      {"descriptor", InputSource::Descriptor(fd, "standard input")},
  };
  for (const auto& [kind, source] : sources) {
    EXPECT_EQ(ReadAll(source), fasta) << kind << ", first pass";
    EXPECT_EQ(ReadAll(source), fasta) << kind << ", second pass";
  }
  close(fd);
  EXPECT_EQ(test::FailureOf([&] { ReadAll(InputSource::Descriptor(fd, "standard input")); }),
            "standard input: cannot be read: Bad file descriptor");
}

// Every gzip member is checked to its end (CRC and length), and nothing but
// another member may follow one: a damaged or cut-short member is refused
// however many whole ones came before it. Only these failures are the gzip
// reader's own; a file it cannot open fails as ReadFileBytes does.
TEST(ReadPlainOrGzipFile, EveryMemberIsCheckedToItsEnd) {
  const std::string text(100000, 'A'), first = Gzipped(text), second = Gzipped(">b\nACGU\n");
  const auto altered = [](std::string bytes, std::size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
    return bytes;
  };
  // The label, the bytes, what they read as, and the damage named (null: none; "": zlib's own words).
  const std::tuple<const char*, std::string, std::string, const char*> rows[] = {
      {"two members", first + second, text + ">b\nACGU\n", nullptr},
      {"an empty member first", Gzipped("") + second, ">b\nACGU\n", nullptr},
      {"plain text that starts with 0x1f", "\x1f>a\n", "\x1f>a\n", nullptr},
      {"the magic alone", "\x1f\x8b", "", "unexpected end of file"},
      {"cut in the middle", first.substr(0, first.size() / 2), "", "unexpected end of file"},
      {"deflate data altered", altered(first, first.size() / 2), "", ""},
      {"CRC altered", altered(first, first.size() - 8), "", "incorrect data check"},
      {"length altered", altered(first, first.size() - 2), "", "incorrect length check"},
      {"trailer cut short", first.substr(0, first.size() - 3), "", "unexpected end of file"},
      {"second member cut after its first byte", first + second.substr(0, 1), "", "unexpected end of file"},
      {"second member cut after its header", first + second.substr(0, 10), "", "unexpected end of file"},
      {"second member's magic altered", first + altered(second, 1), "", "data after the last member"},
      {"second member's CRC altered", first + altered(second, second.size() - 8), "", "incorrect data check"},
      {"one byte after the last member", first + "x", "", "data after the last member"},
      {"zero padding after the last member", first + std::string(512, '\0'), "", "data after the last member"},
  };
  test::TempDir dir;
  const auto path = dir / "x.fa.gz";
  const std::string damaged = path.string() + ": cannot be read: damaged gzip data (";
  for (const auto& [label, bytes, readsAs, reason] : rows) {
    SCOPED_TRACE(label);
    test::WriteBytes(path, bytes);
    std::string read;
    const std::string failure = test::FailureOf([&] { read = ReadPlainOrGzipFile(path); });
    if (reason == nullptr) {
      EXPECT_EQ(failure + "|" + read, "no failure|" + readsAs);
    } else if (*reason) {
      EXPECT_EQ(failure, damaged + reason + ")");
    } else {
      EXPECT_EQ(failure.substr(0, damaged.size()), damaged) << failure;
    }
  }
  EXPECT_EQ(test::FailureOf([&] { ReadPlainOrGzipFile(dir / "missing.gz"); }),
            (dir / "missing.gz").string() + ": cannot be read: No such file or directory");
}

Lines ReadAll(const fs::path& path, bool stopAtLineFeed) {
  Lines lines;
  LineSource source(path, stopAtLineFeed);
  for (std::string line; source.Next(line);) lines.push_back(line);
  return lines;
}

// CR LF, LF and CR in both modes (the byte after a CR is skipped whatever it
// is), empty lines, the end mark, and lines longer than the buffer.
TEST(LineReader, LinesInEachMode) {
  const std::string longLine(200000, 'x');
  const std::tuple<std::string, bool, Lines> cases[] = {
      {"A\r\nB", true, {"A\r", "B"}},
      {"A\r\nB", false, {"A", "B"}},
      {"A\nB\n", false, {"A\nB\n"}},
      {"A\nB\n", true, {"A", "B"}},
      {"A\rXB\r\r\nC", false, {"A", "B", "\nC"}},
      {"A\n\nB\n######@END@#\nC\n", true, {"A", "", "B"}},
      {longLine + "\n" + longLine, true, {longLine, longLine}},
  };
  test::TempDir dir;
  for (const auto& [bytes, stopAtLineFeed, lines] : cases) {
    test::WriteBytes(dir / "a.txt", bytes);
    EXPECT_EQ(ReadAll(dir / "a.txt", stopAtLineFeed), lines) << testing::PrintToString(bytes.substr(0, 20));
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

// The lines a stream gives, pieces joined.
Lines PiecedLines(ByteStream& bytes, std::size_t bufferSize) {
  TextLines lines(bytes, bufferSize);
  std::vector<std::string> read;
  std::string line;
  LinePiece piece;
  while (lines.Next(piece)) {
    EXPECT_LE(piece.bytes.size(), bufferSize);
    line += piece.bytes;
    if (!piece.ends) continue;
    read.push_back(line);
    line.clear();
  }
  EXPECT_TRUE(line.empty()) << "the last line ends";
  return read;
}

// The lines the whole text gives, as the input box holds it.
Lines Expected(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::string joined = WithLineFeeds(text);
  const auto lines = Split(joined, '\n');
  return {lines.begin(), lines.end()};
}

// However the bytes arrive and however small the buffer, no piece is longer
// than the buffer, a CR LF split between two reads is one line end, and the
// mark only counts at the start.
TEST(TextLines, LineEndsAcrossReadsAndBuffers) {
  const std::vector<std::string> texts = {
      "",
      "one",
      ">a\nAC\nGU\n",
      ">a\r\nAC\r\nGU\r\n",
      ">a\rAC\rGU\r",
      "a\r\r\nb\n\rc\r\n\r\nd",
      "\n\n\r\r",
      "\xEF\xBB\xBF>bom\r\nAC",
      "\xEF\xBB\xBF",
      "\xEF\xBB",
      "x\xEF\xBB\xBF\n\xEF\xBB\xBF",
  };
  for (const std::string& text : texts) {
    for (std::size_t buffer : {3u, 4u, 5u, 7u, 1u << 16}) {
      for (std::size_t step : {1u, 2u, 3u, 1u << 16}) {
        test::TrickleStream bytes(text, step);
        EXPECT_EQ(PiecedLines(bytes, buffer), Expected(text))
            << "text " << testing::PrintToString(text) << ", buffer " << buffer << ", step " << step;
      }
    }
  }
}

void SetOrUnset(const char* name, const std::optional<std::string>& value) {
  (void)(value ? setenv(name, value->c_str(), 1) : unsetenv(name));
}

// The installation's tmp/ whenever there is one (even a file or a dangling
// link: the run then says why it cannot use it), else the user's state folder.
TEST(DefaultWorkspace, FollowsTheInstallationThenTheUser) {
  const test::TempDir dir;
  const fs::path home = dir / "install", user = dir / "user";
  fs::create_directories(home);
  // What the installation holds as tmp ("dir", "file", "link" or nothing), XDG_STATE_HOME, the workspace.
  const std::tuple<std::string_view, std::optional<std::string>, fs::path> cases[] = {
      {"dir", "/elsewhere", home / "tmp"},
      {"file", std::nullopt, home / "tmp"},
      {"link", std::nullopt, home / "tmp"},
      {"", "/state", "/state/velmora/tmp"},
      {"", std::nullopt, user / ".local/state/velmora/tmp"},
      {"", "state", user / ".local/state/velmora/tmp"},  // relative: not used
  };
  const std::optional<std::string> savedState =
      std::getenv("XDG_STATE_HOME") ? std::optional<std::string>(std::getenv("XDG_STATE_HOME")) : std::nullopt;
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", user.c_str(), 1);
  for (const auto& [tmp, state, expected] : cases) {
    fs::remove_all(home / "tmp");
    if (tmp == "dir") fs::create_directory(home / "tmp");
    if (tmp == "file") test::WriteBytes(home / "tmp", "");
    if (tmp == "link") fs::create_symlink(dir / "gone", home / "tmp");
    SetOrUnset("XDG_STATE_HOME", state);
    EXPECT_EQ(DefaultWorkspace(home), expected) << tmp << " " << state.value_or("unset");
  }
  SetOrUnset("XDG_STATE_HOME", savedState);
  setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace velmora
