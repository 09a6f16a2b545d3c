#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "engine/frontend.h"

namespace velmora {

// How far a run is, as the command line shows it: a bar for a terminal
// ("[#####...]  42 %  miRanda  1:23 elapsed, about 2:01 left") and a plain
// line for a log ("Progress 40 % (miRanda), 1:23 elapsed, about 2:01 left").
std::string ProgressBarText(const RunProgress& progress);
std::string ProgressLineText(const RunProgress& progress);

// The command line's front end: log lines go to standard error, and so does
// the run's progress: on a terminal a bar that each log line replaces,
// redrawn a few times a second; otherwise a line at every tenth of the run,
// so that the logs of batch jobs stay readable. Quiet shows no progress.
// Rows are only counted, since the result file holds them.
class ConsoleFrontend : public Frontend {
 public:
  explicit ConsoleFrontend(bool quiet = false);
  void ShowLogLine(std::string_view line) override;
  void ShowResultRow(const ResultRow& row) override { rows_ = row.id; }
  void ClearResultRows() override { rows_ = 0; }
  void ShowProgress(const RunProgress& progress) override;

  std::int32_t Rows() const { return rows_; }

 private:
  enum class Shown { Nothing, Bar, Lines };
  Shown shown_;
  bool barShown_ = false;
  std::chrono::steady_clock::time_point lastBar_{};
  int tenthsShown_ = 0;
  std::int32_t rows_ = 0;
};

}  // namespace velmora
