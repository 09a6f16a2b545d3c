#pragma once

#include <stop_token>

namespace velmora::cli {

// Standard input copied to a file in the system's temporary folder, so that a
// run can read it twice (check, then write) without holding it in memory. The
// file is unlinked as soon as it is made: it goes with its descriptor however
// the program ends, a failure, a stop or a kill. It may take half the
// folder's free space; more is refused. A stop request between two
// reads throws RunStopped; a failure throws RunFailure naming the reason.
class StdinSpool {
 public:
  explicit StdinSpool(std::stop_token stop);
  ~StdinSpool();
  StdinSpool(const StdinSpool&) = delete;
  StdinSpool& operator=(const StdinSpool&) = delete;

  int Descriptor() const { return fd_; }

 private:
  int fd_ = -1;
};

}  // namespace velmora::cli
