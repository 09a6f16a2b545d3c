#pragma once

// What the engine needs from a front end (the window, the command line or a
// test): somewhere to show log lines and result rows, and a turn of its event
// loop. The engine never reaches a front end any other way.

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

class Frontend {
 public:
  virtual ~Frontend() = default;

  // A stamped log line (date and time, " : ", message), without line end.
  virtual void ShowLogLine(std::string_view line) = 0;

  // Rows the results list holds now; the next row's ID is this plus one.
  virtual std::int32_t ResultRowCount() const = 0;
  virtual void ShowResultRow(const ResultRow& row) = 0;

  // Empties the results list at the start of a run.
  virtual void ClearResultRows() {}

  // Lets the front end handle what is pending (repaint, clicks) and return.
  virtual void ProcessEvents() = 0;

  // Transient progress of a long step (a predictor running, lncRNAs tested).
  virtual void ShowProgress(std::string_view /*text*/) {}

  // True once the user has asked to stop (the window is closing): a running
  // predictor is then ended and the run stops.
  virtual bool StopRequested() const { return false; }
};

}  // namespace velmora
