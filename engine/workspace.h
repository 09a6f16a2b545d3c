#pragma once

#include <string>

namespace velmora {

// Empties the workspace folder of its files (sub-folders stay), or creates it
// (one level) when it is missing. Failures are ignored: the writes that
// follow meet them and name the file.
void RmDirEX(std::string strPath);

}  // namespace velmora
