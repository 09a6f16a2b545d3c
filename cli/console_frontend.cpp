#include "cli/console_frontend.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <iostream>

#include "engine/progress_tracker.h"
#include "engine/run_log.h"

namespace velmora {
namespace {

constexpr std::size_t kBarWidth = 24;
constexpr std::chrono::milliseconds kBarInterval{250};

int Percent(const RunProgress& progress) { return static_cast<int>(std::floor(progress.fraction * 100)); }

}  // namespace

std::string ProgressBarText(const RunProgress& progress) {
  const auto filled = static_cast<std::size_t>(std::clamp(progress.fraction, 0.0, 1.0) * kBarWidth);
  std::string bar(kBarWidth + 2, '.');
  bar.front() = '[';
  bar.back() = ']';
  bar.replace(1, filled, filled, '#');
  std::string percent = std::to_string(Percent(progress));
  percent.insert(0, 3 - std::min<std::size_t>(3, percent.size()), ' ');
  return bar + " " + percent + " %  " + progress.stage + "  " + ProgressTimesText(progress);
}

std::string ProgressLineText(const RunProgress& progress) {
  return "Progress " + std::to_string(Percent(progress)) + " % (" + progress.stage + "), " +
         ProgressTimesText(progress);
}

ConsoleFrontend::ConsoleFrontend(bool quiet)
    : shown_(quiet                        ? Shown::Nothing
             : isatty(STDERR_FILENO) != 0 ? Shown::Bar
                                          : Shown::Lines) {}

void ConsoleFrontend::ShowLogLine(std::string_view line) {
  if (barShown_) std::cerr << "\r\x1b[K";
  barShown_ = false;
  std::cerr << line << '\n' << std::flush;
}

void ConsoleFrontend::ShowProgress(const RunProgress& progress) {
  if (shown_ == Shown::Lines) {
    const int tenths = static_cast<int>(std::floor(progress.fraction * 10));
    if (tenths <= tenthsShown_) return;
    tenthsShown_ = tenths;
    std::cerr << DateTimeText(std::time(nullptr)) << " : " << ProgressLineText(progress) << '\n' << std::flush;
  } else if (shown_ == Shown::Bar) {
    const auto now = std::chrono::steady_clock::now();
    const bool done = progress.fraction >= 1;
    if (now - lastBar_ < kBarInterval && !done) return;
    lastBar_ = now;
    // The finished run's log says the rest: the bar goes.
    std::cerr << "\r\x1b[K" << (done ? "" : ProgressBarText(progress)) << std::flush;
    barShown_ = !done;
  }
}

}  // namespace velmora
