#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace velmora {

// A file written anew, byte for byte. It is written under a temporary name
// beside its final one and renamed when Close() succeeds, so the final name
// only ever holds a complete file; a file never closed (a failure, a stop)
// leaves nothing behind. Any failure to create, write, close or rename it
// throws RunFailure naming the file and the reason.
class OutputFile {
 public:
  explicit OutputFile(std::filesystem::path path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  void Close();

 private:
  std::filesystem::path path_;
  std::filesystem::path partial_;
  std::FILE* file_;
};

}  // namespace velmora
