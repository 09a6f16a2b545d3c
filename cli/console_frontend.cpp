#include "cli/console_frontend.h"

#include <unistd.h>

#include <iostream>

namespace velmora {

ConsoleFrontend::ConsoleFrontend() : terminal_(isatty(STDERR_FILENO) != 0) {}

void ConsoleFrontend::ShowLogLine(std::string_view line) {
  if (progressShown_) std::cerr << "\r\x1b[K";
  progressShown_ = false;
  std::cerr << line << '\n' << std::flush;
}

void ConsoleFrontend::ShowProgress(std::string_view text) {
  if (!terminal_) return;
  std::cerr << "\r\x1b[K" << text << std::flush;
  progressShown_ = true;
}

}  // namespace velmora
