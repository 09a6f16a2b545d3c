#include "run/line_reader.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace velmora {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Slot h holds the file of handle h; slot 0 is never used.
std::vector<FilePtr>& OpenFiles() {
  static std::vector<FilePtr> files(1);
  return files;
}

std::FILE* FileOf(std::int32_t handle) {
  auto& files = OpenFiles();
  if (handle <= 0 || static_cast<std::size_t>(handle) >= files.size()) return nullptr;
  return files[static_cast<std::size_t>(handle)].get();
}

FilePtr OpenOrCreate(const std::filesystem::path& path) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (file) return file;
  std::error_code error;
  if (std::filesystem::exists(path, error) || error) return nullptr;
  // A predictor output that was never written reads as an empty file.
  FilePtr created(std::fopen(path.c_str(), "wb"));
  if (!created) return nullptr;
  created.reset();
  return FilePtr(std::fopen(path.c_str(), "rb"));
}

}  // namespace

std::int32_t OpenFileHandle(const std::filesystem::path& path) {
  auto& files = OpenFiles();
  files.emplace_back(OpenOrCreate(path));
  const auto handle = static_cast<std::int32_t>(files.size() - 1);
  return files.back() ? handle : -1;
}

std::string ReadFileLine(std::int32_t fileHandle, bool stopAtLineFeed) {
  std::FILE* file = FileOf(fileHandle);
  if (file == nullptr) return std::string(EndMark);
  int byte = std::getc(file);
  if (byte == EOF) return std::string(EndMark);
  const int terminator = stopAtLineFeed ? '\n' : '\r';
  std::string line;
  while (byte != EOF && byte != terminator) {
    line.push_back(static_cast<char>(byte));
    byte = std::getc(file);
  }
  if (byte == '\r' && !stopAtLineFeed) std::getc(file);  // the LF of a CR LF pair, whatever it is
  return line;
}

void CloseFileHandle(std::int32_t fileHandle) {
  auto& files = OpenFiles();
  if (fileHandle > 0 && static_cast<std::size_t>(fileHandle) < files.size()) {
    files[static_cast<std::size_t>(fileHandle)].reset();
  }
}

void CloseAllFiles() {
  for (auto& file : OpenFiles()) file.reset();
}

std::int32_t FileCount() { return static_cast<std::int32_t>(OpenFiles().size() - 1); }

}  // namespace velmora
