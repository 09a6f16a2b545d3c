#include "engine/predictor_runners.h"

#include <functional>

#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "engine/run_log.h"
#include "engine/run_plan.h"

namespace velmora {
namespace {

// The predictor writes under a temporary name, renamed once it has ended
// well: the final name never holds an output cut short.
void RunWritingTo(Session& session, const std::string& output, std::string_view name,
                  const std::function<CommandLine(const std::string&)>& command) {
  DiscardPartial(output);
  try {
    ShellAndWait(session.stop, command(PartialPath(output).string()), name,
                 [&](double done) { session.progress.Advance(done); });
  } catch (...) {
    DiscardPartial(output);
    throw;
  }
  CommitPartial(output);
}

}  // namespace

CommandLine TargetScanCommand(const std::string& home, const std::string& strmiRNAPath,
                              const std::string& strlncRNAPath, const std::string& strOutputPath) {
  return {{paths::In(home, paths::kTargetScanProgram).string(), strmiRNAPath, strlncRNAPath, strOutputPath}};
}

CommandLine MirandaCommand(const std::string& strexepath, const std::string& strmirna, const std::string& strlnc,
                           const std::string& stroutput) {
  return {{strexepath, strmirna, strlnc, "-out", stroutput}};
}

void TargetScan60_RunPerl(Session& session, const std::string& strmiRNAPath, const std::string& strlncRNAPath,
                          const std::string& strOutputPath) {
  AppendLogLine(session.frontend, kTargetScanLogLine);
  session.BeginStage(stages::kTargetScan);
  RunWritingTo(session, strOutputPath, paths::kTargetScanProgram, [&](const std::string& output) {
    return TargetScanCommand(session.home.string(), strmiRNAPath, strlncRNAPath, output);
  });
}

void miranda_run(Session& session, const std::string& strexepath, const std::string& strmirna,
                 const std::string& strlnc, const std::string& stroutput) {
  AppendLogLine(session.frontend, kMirandaLogLine);
  session.BeginStage(stages::kMiranda);
  RunWritingTo(session, stroutput, paths::kMirandaProgram, [&](const std::string& output) {
    CommandLine command = MirandaCommand(strexepath, strmirna, strlnc, output);
    if (session.threads > 0) command.arguments.insert(command.arguments.end(), {"-t", std::to_string(session.threads)});
    return command;
  });
}

}  // namespace velmora
