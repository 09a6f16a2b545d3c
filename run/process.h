#pragma once

// Starting a predictor as a child process and waiting for it.

#include <string>
#include <string_view>
#include <vector>

#include "stats/frontend.h"

namespace velmora {

// A program and its arguments, passed as they are (no shell).
struct CommandLine {
  std::vector<std::string> arguments;  // arguments[0] is the program

  // The command as one text: every path in double quotes, options ("-out")
  // bare, separated by single spaces.
  std::string Text() const;
};

// Starts the program and returns once it has ended, giving the front end a
// turn between looks at the child (no busy waiting). Throws RunFailure when
// the program cannot be started ("<name> could not be started: <reason>"),
// ends with a non-zero status ("<name> failed with status N", with the last
// line it wrote to standard error) or when the front end asks to stop (the
// child is then ended).
void ShellAndWait(Frontend& frontend, const CommandLine& command, std::string_view name);

}  // namespace velmora
