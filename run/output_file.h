#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace velmora {

// A file created anew (truncated) and written byte for byte. Any failure to
// create, write or close it throws RunFailure naming the file.
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
  std::FILE* file_;
};

}  // namespace velmora
