#include "predictors/input_file.h"

#include <unistd.h>

#include <cerrno>

#include "core/file_bytes.h"
#include "core/run_failure.h"

namespace velmora::predictors {

std::ifstream OpenInputFile(const char* path) {
  const int fd = OpenForReading(path);
  if (fd < 0) FailToRead(path, errno);
  close(fd);
  std::ifstream in(path, std::ios::binary);
  if (!in) FailToRead(path, errno);
  return in;
}

std::string ReadInputFile(const char* path) {
  std::string text = ReadFileBytes(path);
  if (text.find('\0') != std::string::npos) {
    throw RunFailure(std::string(path) + ": cannot be read: a binary file (it holds a NUL byte)");
  }
  return text;
}

}  // namespace velmora::predictors
