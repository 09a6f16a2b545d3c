#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <thread>

#include "core/installation.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "engine/frontend.h"
#include "engine/progress_tracker.h"
#include "engine/reference_manifest.h"
#include "engine/run_record.h"
#include "stats/factorial_table.h"

namespace velmora {

// What one run works with: the installation folder, the front end that shows
// its log and rows, the loaded factorials, the stop request of whoever
// started it, the workspace its files go to and the reference collection it
// tests against.
struct Session {
  std::filesystem::path home;
  Frontend& frontend;
  const FactorialTable& factorials;
  std::stop_token stop = {};
  std::int32_t rowsShown = 0;            // the run's rows so far: the next row's ID is this plus one
  std::filesystem::path workdir = {};    // empty: DefaultWorkspace(home)
  unsigned threads = 0;                  // the scanner's threads; 0: all cores
  std::filesystem::path reference = {};  // the collection's folder; empty: the installation's lib/
  RunRecord record = {};                 // how the run goes, for run_info.json
  ProgressTracker progress{frontend};    // how far the run is, for the front end

  // The threads the scanner runs on: `threads`, or every core.
  unsigned ScannerThreads() const { return threads > 0 ? threads : std::max(1u, std::thread::hardware_concurrency()); }
  std::filesystem::path Workspace() const { return workdir.empty() ? DefaultWorkspace(home) : workdir; }
  ReferenceCollection Collection() const {
    return reference.empty() ? ReferenceCollection::Installed(home) : ReferenceCollection{reference};
  }
  // A file of the workspace, by name.
  std::filesystem::path Work(std::string_view name) const { return Workspace() / name; }

  // A stage of the run begins: the record times it, the front end sees it.
  void BeginStage(const std::string& name) {
    record.Stage(name);
    progress.Begin(name);
  }

  // Ends the run with RunStopped once a stop was requested.
  void CheckStop() const {
    if (stop.stop_requested()) throw RunStopped();
  }
};

}  // namespace velmora
