#include "core/sha256.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

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
