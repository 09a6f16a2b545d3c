#include "engine/predict.h"

#include <optional>

#include "core/installation.h"
#include "core/line_reader.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/text.h"
#include "engine/input_files.h"
#include "engine/logged_run.h"
#include "engine/predictor_runners.h"
#include "engine/workspace.h"

namespace velmora {
namespace {

// The input must hold a FASTA record with a sequence: a header line, then a
// line that is not one.
void CheckInput(std::string_view text) {
  bool header = false;
  for (std::string_view piece : Split(text, '\n')) {
    const std::string_view line = TrimSpaces(piece);
    if (!line.empty() && line.front() == '>') {
      header = true;
    } else if (header && line.find_first_not_of(" \t\r") != std::string_view::npos) {
      return;
    }
  }
  if (TrimSpaces(text).find_first_not_of("\t\r\n") == std::string_view::npos) {
    throw RunFailure("The input is empty: paste or import lncRNA sequences in FASTA form.");
  }
  throw RunFailure(header ? "The input holds no sequence after its header line."
                          : "The input holds no FASTA header: each sequence needs a line starting with \">\".");
}

void CheckInstallation(const std::filesystem::path& home, PredictionOption option) {
  RequireFiles(home, {paths::kReferenceMirnas, paths::kDiseaseSets, paths::kFactorials});
  if (UsesTargetScan(option)) RequireFiles(home, {paths::kSeedFamilies, paths::kTargetScanProgram});
  if (UsesMiranda(option)) RequireFiles(home, {paths::kMirnaSequences, paths::kMirandaProgram});
}

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

}  // namespace

namespace {

// The steps of a run up to `last`; the mapping follows only a whole run.
void RunSteps(Session& session, std::string_view text, PredictionOption option, std::optional<PredictStage> last) {
  CheckInput(text);
  CheckInstallation(session.home, option);
  CloseAllFiles();
  RmDirEX(session.Workspace().string());
  session.rowsShown = 0;
  session.frontend.ClearResultRows();
  WriteMirandaInput(session.Work(paths::kMirandaInput), text);
  WriteTargetScanInput(session.Work(paths::kTargetScanInput), text);
  if (last == PredictStage::Inputs) return;
  RunPredictors(session, option);
  session.CheckStop();
  if (last == PredictStage::Predictors) return;
  RunMapping(session, option);
}

}  // namespace

bool Predict(Session& session, std::string_view text, PredictionOption option) {
  return RunLogged(session, [&] { RunSteps(session, text, option, std::nullopt); });
}

bool PredictUntil(Session& session, std::string_view text, PredictionOption option, PredictStage stage) {
  return RunLogged(session, [&] { RunSteps(session, text, option, stage); });
}

}  // namespace velmora
