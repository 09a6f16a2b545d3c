#pragma once

#include "run/session.h"
#include "stats/frontend.h"

namespace velmora {

inline constexpr std::string_view kResultLimitMessage =
    "Results > 10000 rows. The listview will not show the complete results. "
    "Please export the results and view in Excel or Excel-like software.";

// Hands one reported association to the front end's list and, for the first
// 10000 rows, to the result store; then gives the front end one turn.
// `row.id` is ignored: the ID is the list's row count plus one.
void AddResultRow(Session& session, ResultRow row);

}  // namespace velmora
