#pragma once

#include <string>

namespace velmora {

// Empties the workspace folder of Velmora's own files (paths::kWorkspaceFiles
// and their ".partial" forms; any other file and every sub-folder stays), or
// creates it (one level) when it is missing. Failures are ignored: the writes
// that follow meet them and name the file.
void RmDirEX(std::string strPath);

}  // namespace velmora
