#pragma once

#include <cstdio>

#include "stats/frontend.h"

namespace velmora {

// The command line's front end: log lines go to standard error; rows are
// only counted, since the result file holds them.
class ConsoleFrontend : public Frontend {
 public:
  void ShowLogLine(std::string_view line) override;
  std::int32_t ResultRowCount() const override { return rows_; }
  void ShowResultRow(const ResultRow& row) override { rows_ = row.id; }
  void ProcessEvents() override {}

 private:
  std::int32_t rows_ = 0;
};

}  // namespace velmora
