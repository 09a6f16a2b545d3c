#pragma once

// run_info.json: how a run's result was made. The record grows as the run
// goes (its stages, input, option) and is written as JSON whose bytes vary
// only with the times: a complete run writes it into the workspace, and a
// front end may write it anywhere however the run ended.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/input_source.h"

namespace velmora {

enum class PredictionOption;
struct Session;

class RunRecord {
 public:
  RunRecord();  // the run starts now

  // A stage of the run begins, and the one before it ends.
  void Stage(std::string name);
  void Option(PredictionOption option) { option_ = option; }
  // The input, checked: its name, the SHA-256 of its FASTA text (after
  // gzip), its records and nucleotides.
  void Input(std::string path, std::string sha256, std::int64_t records, std::int64_t nucleotides);
  // The run failed, or was stopped (RunStopped); the first reason counts.
  void Failed(std::string reason, bool stopped);

  // The record as JSON text, ended now: "outcome" is "completed" unless
  // Failed was called. The collection's files are read as they are now.
  std::string Text(const Session& session) const;

 private:
  struct Timed {
    std::string name;
    std::chrono::steady_clock::time_point start;
  };
  std::chrono::system_clock::time_point started_;
  std::vector<Timed> stages_;
  std::optional<PredictionOption> option_;
  struct Checked {
    std::string path, sha256;
    std::int64_t records, nucleotides;
  };
  std::optional<Checked> input_;
  std::string outcome_ = "completed";
  std::string reason_;
};

// The checking pass over the input (ReadLncRnaFasta), recording the input;
// returns its nucleotides.
std::int64_t CheckRecordedInput(Session& session, const InputSource& input);

// Writes the session's record to `path` (through OutputFile).
void WriteRunRecord(const Session& session, const std::filesystem::path& path);

// Starts the session's record anew and runs `steps` for `option` as
// RunLogged does; a run that completes then writes its record into the
// workspace (run_info.json), so that a failed run leaves the last complete
// run's record there.
bool RunRecorded(Session& session, PredictionOption option, const std::function<void()>& steps);

}  // namespace velmora
