#pragma once

// The window as a run's front end. A run calls it on its own thread; each
// call only posts the matching window function to the window's thread, with
// the window as context, so no widget is touched from the run and a call
// still queued when the window goes is dropped. The window's own log lines
// take the same queue: every line comes out in the order it was made, and
// the line about rows past the store's 10,000 comes with the first of them.

#include <string_view>

#include "engine/frontend.h"

namespace velmora {

class Form1;

class WindowFrontend final : public Frontend {
 public:
  explicit WindowFrontend(Form1& window) : window_(&window) {}

  void ShowLogLine(std::string_view line) override;
  void ShowResultRow(const ResultRow& row) override;
  void ClearResultRows() override;
  void ShowProgress(const RunProgress& progress) override;

 private:
  Form1* window_;
};

}  // namespace velmora
