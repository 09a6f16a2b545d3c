#pragma once

// The two predictors' command lines and runs.

#include <string>

#include "engine/process.h"
#include "engine/session.h"

namespace velmora {

inline constexpr std::string_view kTargetScanLogLine = "Running Targetscan_60.pl, which may take a long time";
inline constexpr std::string_view kMirandaLogLine = "Running miRanda, which may take a long time";

// <home>/perlbin/targetscan_60 MIRNA UTR OUTPUT, each path one argument.
CommandLine TargetScanCommand(const std::string& home, const std::string& strmiRNAPath,
                              const std::string& strlncRNAPath, const std::string& strOutputPath);

// EXE MIRNA LNC -out OUTPUT, each path one argument.
CommandLine MirandaCommand(const std::string& strexepath, const std::string& strmirna, const std::string& strlnc,
                           const std::string& stroutput);

void TargetScan60_RunPerl(Session& session, const std::string& strmiRNAPath, const std::string& strlncRNAPath,
                          const std::string& strOutputPath);

void miranda_run(Session& session, const std::string& strexepath, const std::string& strmirna,
                 const std::string& strlnc, const std::string& stroutput);

}  // namespace velmora
