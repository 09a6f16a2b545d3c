#include "core/file_bytes.h"

#include <gtest/gtest.h>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

TEST(ReadFileBytes, EveryByteOrAFailureNamingTheFile) {
  test::TempDir dir;
  const std::string bytes("a\r\n\0b\xff", 6);
  test::WriteBytes(dir / "a.bin", bytes);
  EXPECT_EQ(ReadFileBytes(dir / "a.bin"), bytes);
  for (const auto& [path, reason] :
       std::vector<std::pair<std::filesystem::path, std::string>>{{dir / "missing", "No such file or directory"},
                                                                  {dir.path(), "Is a directory"},
                                                                  {"/proc/self/mem", "Input/output error"}}) {
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
