#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

// A failure that stops a run. Its message is one line a user can act on: it
// names the file, line or value at fault.
class RunFailure : public std::runtime_error {
 public:
  explicit RunFailure(const std::string& message) : std::runtime_error(message) {}
};

// The user asked the run to stop; it ends like a failure, with this one word.
class RunStopped : public RunFailure {
 public:
  RunStopped() : RunFailure("Stopped") {}
};

}  // namespace velmora
