#include "run/predict.h"

#include "run/input_files.h"
#include "run/installation.h"
#include "run/line_reader.h"
#include "run/paths.h"
#include "run/predictor_runners.h"
#include "run/run_failure.h"
#include "run/text.h"
#include "run/workspace.h"
#include "stats/run_log.h"

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
    miranda_run(session, in(paths::kMirandaProgram), in(paths::kMirnaSequences), in(paths::kMirandaInput),
                in(paths::kMirandaOutput));
  }
  if (UsesTargetScan(option)) {
    TargetScan60_RunPerl(session, in(paths::kSeedFamilies), in(paths::kTargetScanInput),
                         in(paths::kTargetScanOutput));
  }
}

}  // namespace

bool Predict(Session& session, std::string_view text, PredictionOption option) {
  try {
    CheckInput(text);
    CheckInstallation(session.home, option);
    CloseAllFiles();
    session.store.Clear();
    RmDirEX(paths::In(session.home, paths::kTmp).string());
    session.frontend.ClearResultRows();
    WriteMirandaInput(paths::In(session.home, paths::kMirandaInput), text);
    WriteTargetScanInput(paths::In(session.home, paths::kTargetScanInput), text);
    RunPredictors(session, option);
    RunMapping(session, option);
    return true;
  } catch (const RunFailure& failure) {
    AppendLogLine(session.frontend, failure.what());
    return false;
  }
}

}  // namespace velmora
