#include "tools/console_frontend.h"

#include <iostream>

namespace velmora {

void ConsoleFrontend::ShowLogLine(std::string_view line) { std::cerr << line << '\n' << std::flush; }

}  // namespace velmora
