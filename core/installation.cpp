#include "core/installation.h"

#include <unistd.h>

#include <string>

#include "core/run_failure.h"

namespace velmora {

std::filesystem::path ProgramFolder() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path() : program.parent_path();
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
