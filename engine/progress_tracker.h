#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "engine/frontend.h"

namespace velmora {

// "1:23 elapsed, about 2:01 left" ("estimating the time left" while there
// is no estimate); times as m:ss, or h:mm:ss from an hour on.
std::string ProgressTimesText(const RunProgress& progress);
// "about 2:01 left", or "estimating the time left".
std::string TimeLeftText(const RunProgress& progress);

// A stage of a run and what it is expected to cost, in any unit common to
// the stages of one plan (the cost model's seconds).
struct PlannedStage {
  std::string name;
  double cost = 0;
};

// Turns how far the running stage is into how far the whole run is, and
// estimates the time left: the running stage by its own observed rate once
// it is under way, the stages after it by the model, scaled by how the
// stages so far compared with the model. Reports to the front end at most
// every 100 ms, and at every change of stage.
class ProgressTracker {
 public:
  using Clock = std::chrono::steady_clock;

  explicit ProgressTracker(Frontend& frontend, std::function<Clock::time_point()> now = Clock::now);

  // The run's stages; a stage already running (begun before the plan could
  // be made) keeps its start.
  void Plan(std::vector<PlannedStage> stages);
  // The named stage starts, and the ones before it are done. A stage the
  // plan does not name is a plan of its own.
  void Begin(const std::string& stage);
  // How far the running stage is, from 0 to 1.
  void Advance(double stageFraction);
  // The run is complete.
  void Finish();

 private:
  double Seconds(Clock::time_point from) const { return std::chrono::duration<double>(now_() - from).count(); }
  void Report(bool always);

  Frontend& frontend_;
  std::function<Clock::time_point()> now_;
  std::vector<PlannedStage> stages_;
  std::vector<double> took_;  // the seconds of the stages done
  std::size_t running_ = 0;
  double stageFraction_ = 0;
  Clock::time_point runStart_, stageStart_, lastReport_;
  bool started_ = false;
};

}  // namespace velmora
