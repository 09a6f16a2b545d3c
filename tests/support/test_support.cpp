#include "tests/support/test_support.h"

#include <fstream>
#include <iterator>
#include <random>

namespace velmora::test {

TempDir::TempDir() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() / ("velmora-test-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

const FactorialTable& BuiltFactorials() {
  static const FactorialTable table = LoadFactorialTable(VELMORA_HOME "/lib/mulnum.txt");
  return table;
}

void RecordingFrontend::ShowLogLine(std::string_view line) {
  lines.emplace_back(line);
  const std::size_t separator = line.find(" : ");
  messages.emplace_back(separator == std::string_view::npos ? line : line.substr(separator + 3));
  if (!stopAt.empty() && messages.back() == stopAt) stop.request_stop();
}

}  // namespace velmora::test
