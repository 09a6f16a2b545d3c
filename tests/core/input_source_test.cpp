#include "core/input_source.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

std::string ReadAll(const InputSource& source) {
  const auto stream = source.Open();
  std::string bytes;
  char buffer[4096];
  while (const std::size_t got = stream->Read(buffer, sizeof buffer)) bytes.append(buffer, got);
  return bytes;
}

// A run reads its input twice: every kind of source opens anew from its
// first byte, and a descriptor stays open for the next pass.
TEST(InputSource, EachPassReadsTheWholeInput) {
  test::TempDir dir;
  std::string fasta = ">HULC\r\n";
  for (int i = 0; i < 5000; ++i) fasta += "ACGUACGUNN\n";  // past one read buffer
  test::WriteBytes(dir / "a.fa", fasta);
  gzFile file = gzopen((dir / "a.fa.gz").c_str(), "wb");
  gzwrite(file, fasta.data(), static_cast<unsigned>(fasta.size()));
  gzclose(file);
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

}  // namespace
}  // namespace velmora
