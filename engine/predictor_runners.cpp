#include "engine/predictor_runners.h"

#include "core/paths.h"
#include "engine/run_log.h"

namespace velmora {

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
  ShellAndWait(session.frontend, session.stop,
               TargetScanCommand(session.home.string(), strmiRNAPath, strlncRNAPath, strOutputPath),
               paths::kTargetScanProgram);
}

void miranda_run(Session& session, const std::string& strexepath, const std::string& strmirna,
                 const std::string& strlnc, const std::string& stroutput) {
  AppendLogLine(session.frontend, kMirandaLogLine);
  CommandLine command = MirandaCommand(strexepath, strmirna, strlnc, stroutput);
  if (session.threads > 0) command.arguments.insert(command.arguments.end(), {"-t", std::to_string(session.threads)});
  ShellAndWait(session.frontend, session.stop, command, paths::kMirandaProgram);
}

}  // namespace velmora
