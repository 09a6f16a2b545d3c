#pragma once

// The line reader every stage reads its files with. Each reader owns its open
// file, so two runs in one process never touch each other's files.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "core/byte_stream.h"

namespace velmora {

// Returned instead of a line when a file has no bytes left.
inline constexpr std::string_view EndMark = "######@END@#";

// One open file (or other byte stream), read through a buffer of its own.
class LineFile {
 public:
  // Opens the file, or throws RunFailure naming it and the reason.
  explicit LineFile(const std::filesystem::path& path);
  explicit LineFile(std::unique_ptr<ByteStream> bytes);

  // Puts the next line into `line`, its capacity kept; false at the end of
  // the file. With stopAtLineFeed a line ends at LF (a CR before it stays in
  // the line); otherwise it ends at CR and the byte after the CR is skipped.
  // A read error throws RunFailure naming the file: a file that cannot be
  // read must never pass for a short one.
  bool ReadLine(bool stopAtLineFeed, std::string& line);

  // Whether the line ReadLine gave last ended with its terminator; only the
  // last line of a file can end without one.
  bool LineEnded() const { return lineEnded_; }

 private:
  int Get();
  bool AppendUntil(char terminator, std::string& line);
  bool Fill();

  std::unique_ptr<ByteStream> bytes_;
  std::vector<char> buffer_;
  std::size_t at_ = 0, end_ = 0;
  bool lineEnded_ = false;
};

// Reads one file the way every reader loops: line after line until the end
// of the file or a line that reads as EndMark. A file that cannot be opened
// throws RunFailure naming it and the reason; a stop request throws
// RunStopped between two lines.
class LineSource {
 public:
  LineSource(const std::filesystem::path& path, bool stopAtLineFeed, std::stop_token stop = {});

  // Puts the next line into `line`; false once the file or EndMark is reached.
  bool Next(std::string& line);

 private:
  LineFile file_;
  bool stopAtLineFeed_;
  std::stop_token stop_;
  std::uint32_t lines_ = 0;
};

// The handle-based form of the reader: handles 1, 2, 3, ... issued by one
// table and never reused. The table is an object of its owner's, not of the
// process, so that nothing a reader holds can be closed by another run.
class FileHandles {
 public:
  // The new handle, or -1 when the file cannot be opened (missing, a
  // folder, no permission). A missing file is never created.
  std::int32_t OpenFileHandle(const std::filesystem::path& path);

  // The next line, or EndMark at the end of the file. A handle that failed
  // to open, was closed or never issued reads as an empty file, so no
  // reading loop can spin for ever.
  std::string ReadFileLine(std::int32_t fileHandle, bool stopAtLineFeed);

  void CloseFileHandle(std::int32_t fileHandle);
  void CloseAllFiles();

  // Handles issued so far, failed opens included.
  std::int32_t FileCount() const { return static_cast<std::int32_t>(files_.size() - 1); }

 private:
  std::vector<std::unique_ptr<LineFile>> files_ = std::vector<std::unique_ptr<LineFile>>(1);  // slot 0 unused
};

}  // namespace velmora
