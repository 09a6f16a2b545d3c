#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "engine/frontend.h"

namespace velmora {

// The local date and time in the locale's short date and long time form.
std::string DateTimeText(std::time_t when);

// Appends "<date and time> : <message>" to the front end's log.
void AppendLogLine(Frontend& frontend, std::string_view message);

}  // namespace velmora
