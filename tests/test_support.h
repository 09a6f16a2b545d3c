#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "stats/factorial_table.h"
#include "stats/frontend.h"

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

// The factorial table the build wrote.
const FactorialTable& BuiltFactorials();

// Keeps what the engine shows: log lines, their messages (without the date
// and time) and rows; asks to stop after `stopAfterYields` turns when set.
class RecordingFrontend : public Frontend {
 public:
  void ShowLogLine(std::string_view line) override;
  std::int32_t ResultRowCount() const override { return static_cast<std::int32_t>(rows.size()); }
  void ShowResultRow(const ResultRow& row) override { rows.push_back(row); }
  void ProcessEvents() override { ++yields; }
  bool StopRequested() const override { return stopAfterYields > 0 && yields >= stopAfterYields; }

  std::vector<std::string> lines;
  std::vector<std::string> messages;
  std::vector<ResultRow> rows;
  int yields = 0;
  int stopAfterYields = 0;
};

}  // namespace velmora::test
