#pragma once

// Handle-based line reader shared by every stage that reads a file.
// Handles are issued 1, 2, 3, ... over the life of the process and never reused.

#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>
#include <string_view>

namespace velmora {

// Returned instead of a line when a file has no bytes left.
inline constexpr std::string_view EndMark = "######@END@#";

// Opens a file for reading. Returns the new handle, or -1 when the file
// cannot be opened (missing, a folder, no permission); errno then tells why.
// A missing file is never created.
std::int32_t OpenFileHandle(const std::filesystem::path& path);

// Returns the next line, or EndMark at the end of the file. With
// stopAtLineFeed a line ends at LF (a CR before it stays in the line);
// otherwise it ends at CR and the byte after the CR is skipped. A handle that
// failed to open, was closed or never issued reads as an empty file, so no
// reading loop can spin for ever. A read error throws RunFailure naming the
// file: a file that cannot be read must never pass for a short one.
std::string ReadFileLine(std::int32_t fileHandle, bool stopAtLineFeed);

void CloseFileHandle(std::int32_t fileHandle);

// Closes every file the reader holds open (the start of a run does this).
void CloseAllFiles();

// Number of handles issued so far, a failed open included.
std::int32_t FileCount();

// Reads one file through the handle table, the way every reader loops:
// open, ReadFileLine until EndMark, close (also when the reader throws).
// A file that cannot be opened throws RunFailure naming it and the reason;
// a stop request throws RunStopped between two lines.
class LineSource {
 public:
  LineSource(const std::filesystem::path& path, bool stopAtLineFeed, std::stop_token stop = {});
  ~LineSource() { CloseFileHandle(handle_); }
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;

  // Puts the next line into `line`; false once EndMark is read.
  bool Next(std::string& line);

 private:
  std::int32_t handle_;
  bool stopAtLineFeed_;
  std::stop_token stop_;
  std::uint32_t lines_ = 0;
};

}  // namespace velmora
