#include "engine/workspace.h"

#include <filesystem>

#include "core/paths.h"

namespace velmora {

void RmDirEX(std::string strPath) {
  namespace fs = std::filesystem;
  if (strPath.empty() || (strPath.back() != '\\' && strPath.back() != '/')) strPath += '/';
  const fs::path folder(strPath);
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    fs::create_directory(folder, error);
    return;
  }
  for (std::string_view name : paths::kWorkspaceFiles) {
    std::error_code ignored;
    fs::remove(folder / name, ignored);
    fs::remove(folder / (std::string(name) + std::string(paths::kPartial)), ignored);
  }
}

}  // namespace velmora
