#include "engine/run_plan.h"

#include <algorithm>

namespace velmora::stages {
namespace {

// Seconds per million nucleotides, measured on the two cores of the
// development machine (a union run on 10 Mnt of synthetic lncRNAs); the
// scanner's figure is for one thread. Only their ratios matter: the observed
// rate corrects the scale.
constexpr double kCheckCost = 0.01;
constexpr double kInputsCost = 0.01;
constexpr double kMirandaCostPerThread = 15;
constexpr double kTargetScanCost = 0.06;
constexpr double kMappingCost = 0.4;

}  // namespace

std::vector<PlannedStage> PredictPlan(PredictionOption option, std::uint64_t nucleotides, unsigned threads,
                                      const std::string& last) {
  const double millions = static_cast<double>(nucleotides) / 1e6;
  std::vector<PlannedStage> plan = {{kCheck, kCheckCost * millions}, {kInputs, kInputsCost * millions}};
  if (UsesMiranda(option)) plan.push_back({kMiranda, kMirandaCostPerThread * millions / std::max(1u, threads)});
  if (UsesTargetScan(option)) plan.push_back({kTargetScan, kTargetScanCost * millions});
  plan.push_back({kMapping, kMappingCost * millions});
  const auto end = std::find_if(plan.begin(), plan.end(), [&](const PlannedStage& s) { return s.name == last; });
  if (end != plan.end()) plan.erase(end + 1, plan.end());
  return plan;
}

}  // namespace velmora::stages
