#include "engine/predict.h"

#include <optional>

#include "core/paths.h"
#include "core/run_failure.h"
#include "engine/fasta_input.h"
#include "engine/input_files.h"
#include "engine/logged_run.h"
#include "engine/predictor_runners.h"
#include "engine/run_requirements.h"
#include "engine/workspace.h"

namespace velmora {
namespace {

void RunPredictors(Session& session, PredictionOption option) {
  const auto in = [&](std::string_view relative) { return paths::In(session.home, relative).string(); };
  if (UsesMiranda(option)) {
    miranda_run(session, in(paths::kMirandaProgram), in(paths::kMirnaSequences),
                session.Work(paths::kMirandaInput).string(), session.Work(paths::kMirandaOutput).string());
  }
  if (UsesTargetScan(option)) {
    TargetScan60_RunPerl(session, in(paths::kSeedFamilies), session.Work(paths::kTargetScanInput).string(),
                         session.Work(paths::kTargetScanOutput).string());
  }
}

// The steps of a run up to `last`; the mapping follows only a whole run.
void RunSteps(Session& session, const InputSource& input, PredictionOption option, std::optional<PredictStage> last) {
  FastaSink checkOnly;
  ReadLncRnaFasta(*input.Open(), checkOnly, session.stop);
  CheckRequirements(session.home, PredictRequirements(option));
  RmDirEX(session.Workspace().string());
  session.rowsShown = 0;
  session.frontend.ClearResultRows();
  WritePredictorInputs(*input.Open(), session.Work(paths::kMirandaInput), session.Work(paths::kTargetScanInput),
                       session.stop);
  if (last == PredictStage::Inputs) return;
  RunPredictors(session, option);
  session.CheckStop();
  if (last == PredictStage::Predictors) return;
  RunMapping(session, option);
}

}  // namespace

bool Predict(Session& session, const InputSource& input, PredictionOption option) {
  return RunLogged(session, [&] { RunSteps(session, input, option, std::nullopt); });
}

bool PredictUntil(Session& session, const InputSource& input, PredictionOption option, PredictStage stage) {
  return RunLogged(session, [&] { RunSteps(session, input, option, stage); });
}

}  // namespace velmora
