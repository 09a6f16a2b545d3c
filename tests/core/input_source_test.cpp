#include "core/input_source.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include "core/gzip_file.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

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
  struct Row {
    const char* label;
    std::string bytes;
    std::string readsAs;  // when `reason` is null
    const char* reason;   // the damage named; "" for zlib's own words
  };
  const Row rows[] = {
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
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    test::WriteBytes(path, row.bytes);
    std::string read;
    const std::string failure = test::FailureOf([&] { read = ReadPlainOrGzipFile(path); });
    if (row.reason == nullptr) {
      EXPECT_EQ(failure, "no failure");
      EXPECT_EQ(read, row.readsAs);
      continue;
    }
    const std::string damaged = path.string() + ": cannot be read: damaged gzip data (";
    EXPECT_EQ(failure.substr(0, damaged.size()), damaged) << failure;
    if (*row.reason != '\0') {
      EXPECT_EQ(failure, damaged + row.reason + ")");
    }
  }
  EXPECT_EQ(test::FailureOf([&] { ReadPlainOrGzipFile(dir / "missing.gz"); }),
            (dir / "missing.gz").string() + ": cannot be read: No such file or directory");
}

}  // namespace
}  // namespace velmora
