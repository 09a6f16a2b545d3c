#pragma once

#include <cstdint>
#include <filesystem>
#include <stop_token>

#include "core/run_failure.h"
#include "engine/frontend.h"
#include "stats/factorial_table.h"

namespace velmora {

// What one run works with: the installation folder, the front end that shows
// its log and rows, the loaded factorials and the stop request of whoever
// started it.
struct Session {
  std::filesystem::path home;
  Frontend& frontend;
  const FactorialTable& factorials;
  std::stop_token stop = {};
  std::int32_t rowsShown = 0;  // the run's rows so far: the next row's ID is this plus one

  // Ends the run with RunStopped once a stop was requested.
  void CheckStop() const {
    if (stop.stop_requested()) throw RunStopped();
  }
};

}  // namespace velmora
