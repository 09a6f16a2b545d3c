#pragma once

#include <filesystem>

#include "stats/factorial_table.h"
#include "stats/frontend.h"
#include "stats/result_store.h"

namespace velmora {

// What one run works with: the installation folder, the front end that shows
// its log and rows, the result store it fills and the loaded factorials.
struct Session {
  std::filesystem::path home;
  Frontend& frontend;
  ResultStore& store;
  const FactorialTable& factorials;
};

}  // namespace velmora
