#include <gtest/gtest.h>

#include <cmath>

#include "engine/progress_tracker.h"

namespace velmora {
namespace {

using Clock = ProgressTracker::Clock;

struct Reports : Frontend {
  void ShowLogLine(std::string_view) override {}
  void ShowResultRow(const ResultRow&) override {}
  void ShowProgress(const RunProgress& progress) override { shown.push_back(progress); }
  std::vector<RunProgress> shown;
};

// Runs whose stages take known times, on a clock the test moves: each stage
// reports its progress every 50 ms (or only its end), and the first stage
// starts before the plan is known, as the input check does. Once a fifth of
// the run has passed, the estimate of the time left is within a quarter of
// the truth; the fraction never goes back and ends at 1.
TEST(ProgressTracker, EstimatesTheTimeLeftFromTheModelAndTheObservedRate) {
  const struct {
    std::string what;
    std::vector<double> modelled, seconds;
    std::vector<bool> reports;
  } runs[] = {
      {"the model right but for its scale", {1, 8, 1}, {2, 16, 2}, {true, true, true}},
      {"the main stage twice as slow as modelled", {1, 1, 8, 1}, {1, 1, 16, 1}, {true, false, true, true}},
      {"the input check three times slower than modelled",
       {0.2, 0.2, 8, 0.5, 1},
       {0.6, 0.2, 8, 0.5, 1},
       {true, false, true, true, true}},
      {"a predictor twice as slow as the plan weighs it",
       {1, 1, 2, 6, 1},
       {1, 1, 4, 6, 1},
       {true, false, true, true, true}},
  };
  for (const auto& run : runs) {
    Reports frontend;
    Clock::time_point now{};
    ProgressTracker tracker(frontend, [&] { return now; });
    std::vector<PlannedStage> plan;
    for (std::size_t s = 0; s < run.modelled.size(); ++s) plan.push_back({std::to_string(s), run.modelled[s]});
    double total = 0;
    for (double seconds : run.seconds) total += seconds;
    tracker.Begin("0");
    tracker.Plan(plan);
    const auto step = std::chrono::milliseconds(50);
    double elapsed = 0, checkedAt = -1;
    for (std::size_t s = 0; s < plan.size(); ++s) {
      if (s > 0) tracker.Begin(plan[s].name);
      for (double t = 0; t < run.seconds[s]; t += 0.05, elapsed += 0.05) {
        now += step;
        if (run.reports[s]) tracker.Advance((t + 0.05) / run.seconds[s]);
        if (checkedAt < 0 && elapsed >= 0.2 * total) {
          checkedAt = elapsed;
          const RunProgress& last = frontend.shown.back();
          const double truth = total - last.elapsed;
          EXPECT_NEAR(last.remaining, truth, 0.25 * truth) << run.what << " at " << last.elapsed << " s";
        }
      }
    }
    tracker.Finish();
    for (std::size_t i = 1; i < frontend.shown.size(); ++i) {
      ASSERT_GE(frontend.shown[i].fraction, frontend.shown[i - 1].fraction) << run.what << ", report " << i;
    }
    EXPECT_EQ(frontend.shown.back().fraction, 1) << run.what;
    EXPECT_NEAR(frontend.shown.back().elapsed, total, 0.1) << run.what;
  }
}

}  // namespace
}  // namespace velmora
