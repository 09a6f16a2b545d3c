#pragma once

#include <functional>

#include "engine/session.h"

namespace velmora {

// Runs `work`; any failure, a stop and running out of memory included, ends
// it with one log line. Returns whether the work completed. Nothing the work
// throws escapes, so a run on a thread of its own can never end the program.
bool RunLogged(Session& session, const std::function<void()>& work);

}  // namespace velmora
