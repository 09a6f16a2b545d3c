#pragma once

#include <filesystem>

#include "engine/session.h"

namespace velmora {

// Tests every lncRNA set of the set file against every disease set and
// writes the reported associations to the result file; with bShowRows each
// also goes to the front end's list. Everything is checked before a row is
// shown: 372 non-empty disease lines, no miRNA twice on a disease line, no
// 2x2 table with a negative count. A violation, an unreadable input or a stop
// request throws, and the result file is then not written at all.
void WriteEnrichmentTable(Session& session, const std::filesystem::path& diseaseSetPath,
                          const std::filesystem::path& lncMirSetPath, const std::filesystem::path& resultPath,
                          bool diseaseStopAtLineFeed, bool lncStopAtLineFeed, bool bShowRows);

}  // namespace velmora
