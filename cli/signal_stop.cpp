#include "cli/signal_stop.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace velmora::cli {
namespace {

constexpr auto kGrace = std::chrono::seconds(5);

sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

}  // namespace

SignalStop::SignalStop() {
  signal(SIGPIPE, SIG_IGN);
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  watcher_ = std::jthread([this, signals](std::stop_token finished) {
    const timespec look = {0, 100'000'000};
    std::chrono::steady_clock::time_point asked{};
    while (!finished.stop_requested()) {
      const int taken = sigtimedwait(&signals, nullptr, &look);
      if (taken > 0 && signal_.load() == 0) {
        signal_ = taken;
        asked = std::chrono::steady_clock::now();
        source_.request_stop();
      }
      // A run looks at the request often; one blocked elsewhere (reading a
      // terminal, say) is ended here after a grace period.
      if (signal_.load() != 0 && std::chrono::steady_clock::now() - asked > kGrace) {
        static constexpr char kStopped[] = "Stopped\n";
        (void)!write(STDERR_FILENO, kStopped, std::strlen(kStopped));
        _exit(128 + signal_.load());
      }
    }
  });
}

}  // namespace velmora::cli
