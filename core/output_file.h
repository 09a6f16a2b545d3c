#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace velmora {

// Every file Velmora writes is written under a temporary name beside its
// final one and renamed when complete, so the final name only ever holds a
// complete file. These are the steps, for writers that are not OutputFile
// (a predictor writing its own output).

// The temporary name: the final one followed by ".partial".
std::filesystem::path PartialPath(const std::filesystem::path& path);
// Removes what is at the temporary name: a file left by a killed run, or a
// link someone planted there, which must never be written through.
void DiscardPartial(const std::filesystem::path& path);
// Renames the complete temporary file to its final name; on failure removes
// it and throws RunFailure naming the file and the reason.
void CommitPartial(const std::filesystem::path& path);

// A file written anew, byte for byte, through its temporary name. The
// temporary file is created new (never through a link or into a file that
// is there), and renamed when Close() succeeds; a file never closed (a
// failure, a stop) leaves nothing behind. Any failure to create, write,
// close or rename it throws RunFailure naming the file and the reason.
class OutputFile {
 public:
  explicit OutputFile(std::filesystem::path path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  // Completes the file; once only, later calls do nothing.
  void Close();

 private:
  std::filesystem::path path_;
  std::FILE* file_;
};

}  // namespace velmora
