#pragma once

#include <cstdint>

#include "engine/frontend.h"

namespace velmora {

// The command line's front end: log lines go to standard error, and on a
// terminal a progress line that each log line replaces; rows are only
// counted, since the result file holds them.
class ConsoleFrontend : public Frontend {
 public:
  ConsoleFrontend();
  void ShowLogLine(std::string_view line) override;
  void ShowResultRow(const ResultRow& row) override { rows_ = row.id; }
  void ClearResultRows() override { rows_ = 0; }
  void ShowProgress(std::string_view text) override;

  std::int32_t Rows() const { return rows_; }

 private:
  bool terminal_;
  bool progressShown_ = false;
  std::int32_t rows_ = 0;
};

}  // namespace velmora
