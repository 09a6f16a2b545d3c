#include "core/gzip_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "core/run_failure.h"
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

std::string FailureOf(const std::filesystem::path& path) {
  return test::FailureOf([&] { ReadPlainOrGzipFile(path); });
}

TEST(ReadPlainOrGzipFile, PlainAndCompressedReadAlike) {
  test::TempDir dir;
  std::string fasta = ">HULC\r\nACGU\r\n";
  for (int i = 0; i < 20000; ++i) fasta += "ACGUACGUNN\n";  // past one read buffer
  test::WriteBytes(dir / "a.fa", fasta);
  test::WriteBytes(dir / "a.fa.gz", Gzipped(fasta));
  EXPECT_EQ(ReadPlainOrGzipFile(dir / "a.fa"), fasta);
  EXPECT_EQ(ReadPlainOrGzipFile(dir / "a.fa.gz"), fasta);
}

TEST(ReadPlainOrGzipFile, DamagedOrCutShortStreamsAreFailures) {
  test::TempDir dir;
  const std::string whole = Gzipped(std::string(100000, 'A'));
  test::WriteBytes(dir / "cut.fa.gz", whole.substr(0, whole.size() / 2));
  EXPECT_NE(FailureOf(dir / "cut.fa.gz").find("cut.fa.gz: cannot be read: damaged gzip data"), std::string::npos)
      << FailureOf(dir / "cut.fa.gz");
  std::string damaged = whole;
  damaged[whole.size() / 2] ^= 0x55;
  test::WriteBytes(dir / "bad.fa.gz", damaged);
  EXPECT_NE(FailureOf(dir / "bad.fa.gz").find("damaged gzip data"), std::string::npos);
  EXPECT_EQ(FailureOf(dir / "cut.fa.gz").find("<fd:"), std::string::npos) << "zlib's own name for the stream";
  EXPECT_EQ(FailureOf(dir / "missing.gz"),
            (dir / "missing.gz").string() + ": cannot be read: No such file or directory");
  EXPECT_EQ(FailureOf(dir.path()), dir.path().string() + ": cannot be read: Is a directory");
}

}  // namespace
}  // namespace velmora
