#include "core/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/run_failure.h"
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
  for (const auto& [path, reason] :
       std::vector<std::pair<std::filesystem::path, std::string>>{{dir / "missing", "No such file or directory"},
                                                                  {dir.path(), "Is a directory"},
                                                                  {dir / "fifo", "not a regular file"},
                                                                  {"/dev/null", "not a regular file"}}) {
    try {
      ReadFileBytes(path);
      ADD_FAILURE() << path << " was read";
    } catch (const RunFailure& failure) {
      EXPECT_EQ(std::string(failure.what()), path.string() + ": cannot be read: " + reason);
    }
  }
}

}  // namespace
}  // namespace velmora
