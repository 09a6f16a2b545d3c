#include "core/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/sha256.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

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

}  // namespace
}  // namespace velmora
