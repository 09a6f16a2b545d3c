#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace velmora::predictors {

// How far a predictor is, for the program that started it: lines
// "DONE TOTAL" on the descriptor that the environment variable
// VELMORA_PROGRESS_FD names, a few a second at most. Without the variable (a
// predictor run by hand) nothing is written. Progress is a courtesy: it never
// changes the output, and a report that cannot be written is dropped.
class ProgressReport {
 public:
  // The descriptor VELMORA_PROGRESS_FD names, or -1.
  static int DescriptorFromEnvironment();

  ProgressReport(int fd, std::uint64_t total) : fd_(fd), total_(total) {}

  // `units` more of the total are done; any thread may call it.
  void Add(std::uint64_t units);

 private:
  void Write(std::uint64_t done);

  int fd_;
  std::uint64_t total_;
  std::atomic<std::uint64_t> done_{0};
  std::mutex writing_;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace velmora::predictors
