#include "core/installation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/run_failure.h"

namespace velmora {

std::filesystem::path ProgramFolder() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path() : program.parent_path();
}

std::vector<std::string> ProgramCommandLine() {
  std::vector<std::string> words;
  std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
  for (std::string word; std::getline(cmdline, word, '\0');) words.push_back(std::move(word));
  if (!words.empty()) words.front() = std::filesystem::path(words.front()).filename().string();
  return words;
}

namespace {

// The user's home: $HOME, or the password database's entry when it is unset.
std::filesystem::path UserHome() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  std::vector<char> buffer(1 << 14);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return {};
}

}  // namespace

std::filesystem::path DefaultWorkspace(const std::filesystem::path& home) {
  const std::filesystem::path installed = home / paths::kTmp;
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(installed, error))) return installed;
  // A relative XDG_STATE_HOME is to be ignored, as the base-directory rules say.
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
    return std::filesystem::path(state) / "velmora" / paths::kTmp;
  }
  const std::filesystem::path user = UserHome();
  // No home at all: the installation's, which the run then reports it cannot create.
  return user.empty() ? installed : user / ".local/state/velmora" / paths::kTmp;
}

void RequireFiles(const std::filesystem::path& home, const std::vector<std::string_view>& relatives) {
  for (std::string_view relative : relatives) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(home / relative, error)) {
      throw RunFailure((home / relative).string() + ": file not found");
    }
  }
}

void RequirePrograms(const std::filesystem::path& home, const std::vector<std::string_view>& relatives) {
  RequireFiles(home, relatives);
  for (std::string_view relative : relatives) {
    if (access((home / relative).c_str(), X_OK) != 0) throw RunFailure((home / relative).string() + ": not executable");
  }
}

}  // namespace velmora
