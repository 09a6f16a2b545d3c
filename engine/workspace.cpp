#include "engine/workspace.h"

#include <filesystem>

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
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    std::error_code ignored;
    if (!entry->is_directory(ignored)) fs::remove(entry->path(), ignored);
  }
}

}  // namespace velmora
