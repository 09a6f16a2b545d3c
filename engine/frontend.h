#pragma once

// What the engine needs from a front end (the window, the command line or a
// test): somewhere to show log lines, progress and result rows. The engine
// calls it on the thread the run works on and never waits for it; a front
// end that owns an event loop hands the calls over to its own thread.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// One reported association as the results list shows it: the ID, then the
// texts of LncName, Disease, a, b, c, d, P-value, P-Bonferoni and OR-value.
struct ResultRow {
  std::int32_t id = 0;
  std::array<std::string, 9> cells;
};

// How far a run is: the stage running, the fraction of the whole run done
// (by a cost model of the stages), the seconds since the run began and the
// estimated seconds left (negative while there is no estimate yet).
struct RunProgress {
  std::string stage;
  double fraction = 0;
  double elapsed = 0;
  double remaining = -1;
};

class Frontend {
 public:
  virtual ~Frontend() = default;

  // A stamped log line (date and time, " : ", message), without line end.
  virtual void ShowLogLine(std::string_view line) = 0;

  // A reported association; IDs count from 1 in every run.
  virtual void ShowResultRow(const ResultRow& row) = 0;

  // Empties the results list at the start of a run.
  virtual void ClearResultRows() {}

  // How far the run is, a few times a second at most; the last report of a
  // run that completes has the fraction 1.
  virtual void ShowProgress(const RunProgress& /*progress*/) {}
};

}  // namespace velmora
