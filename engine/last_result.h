#pragma once

#include <functional>

#include "engine/session.h"

namespace velmora {

// Runs `work` in the session's workspace so that a run that does not
// succeed (refused, failed, stopped) leaves the workspace's files exactly as
// the last complete run left them. Before the run, the workspace's Velmora
// files are linked into ".velmora-last" beside them (every writer replaces a
// file by rename, so the links keep the old contents); a run that succeeds
// drops them, any other puts them back. A run killed before either leaves
// them for the next run to put back first. The caller holds the workspace's
// lock. Returns what `work` returns, or false when the last result could not
// be kept or put back (logged).
bool RunKeepingLastResult(Session& session, const std::function<bool()>& work);

}  // namespace velmora
