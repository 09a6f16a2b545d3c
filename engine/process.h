#pragma once

// Starting a predictor as a child process and waiting for it.

#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A program and its arguments, passed as they are (no shell).
struct CommandLine {
  std::vector<std::string> arguments;  // arguments[0] is the program
};

// Starts the program and returns once it has ended, sleeping between looks
// at the child (no busy waiting). The program may report how far it is on
// the descriptor VELMORA_PROGRESS_FD names in its environment ("DONE TOTAL"
// lines); `progress` gets each report as a fraction.
// Throws RunFailure when the program cannot be started ("<name> could not be
// started: <reason>"), ends with a non-zero status ("<name> failed with
// status N", with the last line it wrote to standard error) or is ended by a
// signal; a stop request ends the child and throws RunStopped.
void ShellAndWait(const std::stop_token& stop, const CommandLine& command, std::string_view name,
                  const std::function<void(double)>& progress = {});

}  // namespace velmora
