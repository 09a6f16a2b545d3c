#pragma once

#include "engine/session.h"

namespace velmora {

// Hands one reported association to the front end with the next ID of the
// run. `row.id` is ignored.
void AddResultRow(Session& session, ResultRow row);

}  // namespace velmora
