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

// Only the damaged stream's failure is the gzip reader's own; a file it
// cannot open fails as ReadFileBytes does, naming it.
TEST(ReadPlainOrGzipFile, DamagedOrCutShortStreamsAreFailures) {
  test::TempDir dir;
  const auto failureOf = [](const std::filesystem::path& path) {
    return test::FailureOf([&] { ReadPlainOrGzipFile(path); });
  };
  const std::string whole = Gzipped(std::string(100000, 'A'));
  std::string damaged = whole;
  damaged[whole.size() / 2] ^= 0x55;
  for (const std::string& bytes : {whole.substr(0, whole.size() / 2), damaged}) {
    test::WriteBytes(dir / "x.fa.gz", bytes);
    const std::string failure = failureOf(dir / "x.fa.gz");
    EXPECT_EQ(failure.find((dir / "x.fa.gz").string() + ": cannot be read: damaged gzip data"), 0u) << failure;
    EXPECT_EQ(failure.find("<fd:"), std::string::npos) << "zlib's own name for the stream";
  }
  EXPECT_EQ(failureOf(dir / "missing.gz"),
            (dir / "missing.gz").string() + ": cannot be read: No such file or directory");
}

}  // namespace
}  // namespace velmora
