#pragma once

#include <algorithm>
#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

#include "core/byte_stream.h"
#include "core/run_failure.h"
#include "engine/frontend.h"
#include "stats/factorial_table.h"

namespace velmora::test {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// The message of the RunFailure that `work` throws, or "no failure".
template <typename Work>
std::string FailureOf(Work&& work) {
  try {
    work();
  } catch (const RunFailure& failure) {
    return failure.what();
  }
  return "no failure";
}

// Bytes from memory, at most `step` a read: lines, line ends and marks then
// break across the reads of a stream.
class TrickleStream final : public ByteStream {
 public:
  TrickleStream(std::string_view bytes, std::size_t step) : rest_(bytes), step_(step) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, rest_.size(), step_});
    std::copy_n(rest_.data(), count, buffer);
    rest_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view rest_;
  std::size_t step_;
};

// The factorial table the build wrote.
const FactorialTable& BuiltFactorials();

// Keeps what the engine shows: log lines, their messages (without the date
// and time) and rows. When `stopAt` is set, the stop source is asked to stop
// as soon as that message is logged.
class RecordingFrontend : public Frontend {
 public:
  void ShowLogLine(std::string_view line) override;
  void ShowResultRow(const ResultRow& row) override { rows.push_back(row); }
  void ClearResultRows() override { rows.clear(); }

  std::vector<std::string> lines;
  std::vector<std::string> messages;
  std::vector<ResultRow> rows;
  std::string stopAt;
  std::stop_source stop;
};

}  // namespace velmora::test
