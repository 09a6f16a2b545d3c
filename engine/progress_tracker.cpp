#include "engine/progress_tracker.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace velmora {
namespace {

constexpr std::chrono::milliseconds kReportInterval{100};
// Below this share of a stage its own rate says too little.
constexpr double kRateKnown = 0.02;

double CostOf(const std::vector<PlannedStage>& stages, std::size_t from, std::size_t to) {
  return std::accumulate(stages.begin() + static_cast<std::ptrdiff_t>(from),
                         stages.begin() + static_cast<std::ptrdiff_t>(to), 0.0,
                         [](double sum, const PlannedStage& stage) { return sum + stage.cost; });
}

std::string Duration(double seconds) {
  const long total = std::lround(std::max(0.0, seconds));
  const long hours = total / 3600, minutes = total / 60 % 60, rest = total % 60;
  std::string text = hours > 0 ? std::to_string(hours) + ":" + (minutes < 10 ? "0" : "") : "";
  return text + std::to_string(minutes) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

}  // namespace

std::string TimeLeftText(const RunProgress& progress) {
  return progress.remaining < 0 ? "estimating the time left" : "about " + Duration(progress.remaining) + " left";
}

std::string ProgressTimesText(const RunProgress& progress) {
  return Duration(progress.elapsed) + " elapsed, " + TimeLeftText(progress);
}

ProgressTracker::ProgressTracker(Frontend& frontend, std::function<Clock::time_point()> now)
    : frontend_(frontend), now_(std::move(now)) {}

void ProgressTracker::Plan(std::vector<PlannedStage> stages) {
  const std::string running = running_ < stages_.size() ? stages_[running_].name : "";
  stages_ = std::move(stages);
  const auto same = std::find_if(stages_.begin(), stages_.end(), [&](const auto& s) { return s.name == running; });
  running_ = started_ && same != stages_.end() ? static_cast<std::size_t>(same - stages_.begin()) : 0;
  took_.assign(running_, 0.0);
}

void ProgressTracker::Begin(const std::string& stage) {
  const Clock::time_point now = now_();
  if (!started_) runStart_ = stageStart_ = now;
  const auto next = std::find_if(stages_.begin() + static_cast<std::ptrdiff_t>(std::min(running_, stages_.size())),
                                 stages_.end(), [&](const auto& s) { return s.name == stage; });
  if (next == stages_.end()) {
    stages_ = {{stage, 1}};
    took_.clear();
    running_ = 0;
  } else {
    const auto index = static_cast<std::size_t>(next - stages_.begin());
    if (started_ && index > running_) took_.push_back(Seconds(stageStart_));
    while (took_.size() < index) took_.push_back(0);  // planned, but not needed
    running_ = index;
  }
  started_ = true;
  stageStart_ = now;
  stageFraction_ = 0;
  Report(true);
}

void ProgressTracker::Advance(double stageFraction) {
  if (!started_) return;
  stageFraction_ = std::clamp(stageFraction, 0.0, 1.0);
  Report(false);
}

void ProgressTracker::Finish() {
  if (!started_) return;
  frontend_.ShowProgress({running_ < stages_.size() ? stages_[running_].name : "", 1, Seconds(runStart_), 0});
}

void ProgressTracker::Report(bool always) {
  const Clock::time_point now = now_();
  if (!always && now - lastReport_ < kReportInterval) return;
  lastReport_ = now;
  const PlannedStage& stage = stages_[running_];
  const double f = stageFraction_, stageSeconds = Seconds(stageStart_);
  const double total = CostOf(stages_, 0, stages_.size());
  const double modelDone = CostOf(stages_, 0, running_) + f * stage.cost;
  const double seconds = std::accumulate(took_.begin(), took_.end(), 0.0) + stageSeconds;
  // How the run so far compares with the model: it scales what is left.
  const double ratio = modelDone > 0 && seconds > 0 ? seconds / modelDone : NAN;
  const double stageLeft = f >= kRateKnown ? stageSeconds * (1 - f) / f : ratio * stage.cost * (1 - f);
  const double later = CostOf(stages_, running_ + 1, stages_.size());
  const double remaining = stageLeft + (later > 0 ? ratio * later : 0);
  frontend_.ShowProgress(
      {stage.name, total > 0 ? modelDone / total : 0, Seconds(runStart_), std::isfinite(remaining) ? remaining : -1});
}

}  // namespace velmora
