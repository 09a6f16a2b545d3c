#pragma once

#include <atomic>
#include <stop_token>
#include <thread>

namespace velmora::cli {

// Turns SIGINT and SIGTERM into a stop request, so that a run ends its
// predictor and logs "Stopped" instead of dying and leaving it behind, and
// ignores SIGPIPE, so that a closed standard error does not end a run. Make
// it before any other thread: the signals are blocked in every thread and
// taken by a watcher thread of its own.
class SignalStop {
 public:
  SignalStop();
  std::stop_token Token() const { return source_.get_token(); }
  // The signal that asked to stop, or 0.
  int Signal() const { return signal_.load(); }

 private:
  std::stop_source source_;
  std::atomic<int> signal_{0};
  std::jthread watcher_;
};

}  // namespace velmora::cli
