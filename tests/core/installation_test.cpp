#include "core/installation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

void SetOrUnset(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

// The installation's tmp/ whenever there is one (even a file or a dangling
// link: the run then says why it cannot use it), else the user's state folder.
TEST(DefaultWorkspace, FollowsTheInstallationThenTheUser) {
  const test::TempDir dir;
  const fs::path home = dir / "install", user = dir / "user";
  fs::create_directories(home);
  struct Case {
    const char* what;
    const char* tmp;  // what the installation holds as tmp: "dir", "file", "link" or "" (nothing)
    std::optional<std::string> state, userHome;
    fs::path expected;
  };
  const Case cases[] = {
      {"a build tree", "dir", "/elsewhere", user.string(), home / "tmp"},
      {"a tmp that is a file", "file", std::nullopt, user.string(), home / "tmp"},
      {"a dangling link", "link", std::nullopt, user.string(), home / "tmp"},
      {"installed, XDG_STATE_HOME set", "", "/state", user.string(), "/state/velmora/tmp"},
      {"installed, XDG_STATE_HOME unset", "", std::nullopt, user.string(), user / ".local/state/velmora/tmp"},
      {"installed, XDG_STATE_HOME relative", "", "state", user.string(), user / ".local/state/velmora/tmp"},
  };
  const std::optional<std::string> savedState =
      std::getenv("XDG_STATE_HOME") ? std::optional<std::string>(std::getenv("XDG_STATE_HOME")) : std::nullopt;
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  for (const Case& c : cases) {
    fs::remove_all(home / "tmp");
    const std::string_view tmp = c.tmp;
    if (tmp == "dir") fs::create_directory(home / "tmp");
    if (tmp == "file") test::WriteBytes(home / "tmp", "");
    if (tmp == "link") fs::create_symlink(dir / "gone", home / "tmp");
    SetOrUnset("XDG_STATE_HOME", c.state);
    SetOrUnset("HOME", c.userHome);
    EXPECT_EQ(DefaultWorkspace(home), c.expected) << c.what;
  }
  SetOrUnset("XDG_STATE_HOME", savedState);
  setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace velmora
