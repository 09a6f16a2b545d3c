#include "predictors/input_file.h"

#include "core/file_bytes.h"
#include "core/run_failure.h"

namespace velmora::predictors {

std::string ReadInputFile(const char* path) {
  std::string text = ReadFileBytes(path);
  if (text.find('\0') != std::string::npos) {
    throw RunFailure(std::string(path) + ": cannot be read: a binary file (it holds a NUL byte)");
  }
  return text;
}

}  // namespace velmora::predictors
