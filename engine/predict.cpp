#include "engine/predict.h"

#include <optional>

#include "core/paths.h"
#include "core/run_failure.h"
#include "engine/input_files.h"
#include "engine/predictor_runners.h"
#include "engine/run_plan.h"
#include "engine/run_record.h"
#include "engine/run_requirements.h"
#include "engine/workspace.h"

namespace velmora {
namespace {

void RunPredictors(Session& session, PredictionOption option) {
  const ReferenceCollection collection = session.Collection();
  if (UsesMiranda(option)) {
    miranda_run(session, paths::In(session.home, paths::kMirandaProgram).string(),
                collection.Path(paths::kMirnaSequences).string(), session.Work(paths::kMirandaInput).string(),
                session.Work(paths::kMirandaOutput).string());
  }
  if (UsesTargetScan(option)) {
    TargetScan60_RunPerl(session, collection.Path(paths::kSeedFamilies).string(),
                         session.Work(paths::kTargetScanInput).string(),
                         session.Work(paths::kTargetScanOutput).string());
  }
}

// A file the run replaces cannot be its input. Any name that reaches it counts
// (a link, a path through another folder), so files are compared by device
// and inode; the kept last result is the same file under another name.
void RefuseWorkspaceInput(const Session& session, const InputSource& input) {
  for (std::string_view name : paths::kWorkspaceFiles) {
    const std::string kept = std::string(paths::kLastResult) + "/" + std::string(name);
    for (const std::string& file : {std::string(name), std::string(name) + std::string(paths::kPartial), kept}) {
      if (input.Is(session.Work(file))) {
        throw RunFailure("The input is the workspace's own " + session.Work(file).string() +
                         ", which a run replaces: copy it elsewhere first");
      }
    }
  }
}

// The steps of a run up to `last`; the mapping follows only a whole run. The
// input is opened once, before anything is touched, and every pass reads
// that open file.
void RunSteps(Session& session, const InputSource& source, PredictionOption option, std::optional<PredictStage> last) {
  session.BeginStage(stages::kCheck);
  const InputSource input = source.Held();
  RefuseWorkspaceInput(session, input);
  const std::int64_t nucleotides = CheckRecordedInput(session, input);
  const std::string lastStage = last == PredictStage::Inputs ? stages::kInputs
                                : last == PredictStage::Predictors
                                    ? (UsesTargetScan(option) ? stages::kTargetScan : stages::kMiranda)
                                    : stages::kMapping;
  session.progress.Plan(
      stages::PredictPlan(option, static_cast<std::uint64_t>(nucleotides), session.ScannerThreads(), lastStage));
  CheckRequirements(session.home, session.Collection(), PredictRequirements(option));
  RmDirEX(session.Workspace().string());
  session.rowsShown = 0;
  session.frontend.ClearResultRows();
  session.BeginStage(stages::kInputs);
  WritePredictorInputs(*input.Open(), session.Work(paths::kMirandaInput), session.Work(paths::kTargetScanInput),
                       session.stop);
  if (last != PredictStage::Inputs) {
    RunPredictors(session, option);
    session.CheckStop();
  }
  if (!last) RunMapping(session, option);
  session.progress.Finish();
}

}  // namespace

bool Predict(Session& session, const InputSource& input, PredictionOption option) {
  return RunRecorded(session, option, [&] { RunSteps(session, input, option, std::nullopt); });
}

bool PredictUntil(Session& session, const InputSource& input, PredictionOption option, PredictStage stage) {
  return RunRecorded(session, option, [&] { RunSteps(session, input, option, stage); });
}

}  // namespace velmora
