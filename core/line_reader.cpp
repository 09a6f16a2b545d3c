#include "core/line_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "core/file_bytes.h"
#include "core/run_failure.h"

namespace velmora {
namespace {

// An open file with its own read buffer; lines are cut from the buffer.
class OpenFile {
 public:
  OpenFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)), buffer_(1 << 16) {}
  ~OpenFile() { close(fd_); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  // The next byte, or -1 when none is left.
  int Get() {
    if (at_ == end_ && !Fill()) return -1;
    return static_cast<unsigned char>(buffer_[at_++]);
  }

  // Appends bytes up to the terminator (consumed, not appended) or the end
  // of the file; returns whether the terminator was met.
  bool AppendUntil(char terminator, std::string& line) {
    for (;;) {
      if (at_ == end_ && !Fill()) return false;
      const char* start = buffer_.data() + at_;
      const auto* found = static_cast<const char*>(std::memchr(start, terminator, end_ - at_));
      if (found != nullptr) {
        line.append(start, static_cast<std::size_t>(found - start));
        at_ += static_cast<std::size_t>(found - start) + 1;
        return true;
      }
      line.append(start, end_ - at_);
      at_ = end_;
    }
  }

 private:
  bool Fill() {
    for (;;) {
      const ssize_t got = read(fd_, buffer_.data(), buffer_.size());
      if (got >= 0) {
        at_ = 0;
        end_ = static_cast<std::size_t>(got);
        return got > 0;
      }
      if (errno != EINTR) FailToRead(path_, errno);
    }
  }

  int fd_;
  std::filesystem::path path_;
  std::vector<char> buffer_;
  std::size_t at_ = 0, end_ = 0;
};

// Slot h holds the file of handle h; slot 0 is never used.
std::vector<std::unique_ptr<OpenFile>>& OpenFiles() {
  static std::vector<std::unique_ptr<OpenFile>> files(1);
  return files;
}

OpenFile* FileOf(std::int32_t handle) {
  auto& files = OpenFiles();
  if (handle <= 0 || static_cast<std::size_t>(handle) >= files.size()) return nullptr;
  return files[static_cast<std::size_t>(handle)].get();
}

// The next line into `line`, its capacity kept; false at the end of the file.
bool ReadLineInto(OpenFile* file, bool stopAtLineFeed, std::string& line) {
  line.clear();
  if (file == nullptr) return false;
  const int first = file->Get();
  if (first < 0) return false;
  const char terminator = stopAtLineFeed ? '\n' : '\r';
  if (first == terminator) {
    if (!stopAtLineFeed) file->Get();
    return true;
  }
  line.push_back(static_cast<char>(first));
  if (file->AppendUntil(terminator, line) && !stopAtLineFeed) file->Get();  // the LF of a CR LF pair, whatever it is
  return true;
}

}  // namespace

std::int32_t OpenFileHandle(const std::filesystem::path& path) {
  auto& files = OpenFiles();
  const int fd = OpenForReading(path);
  const int error = errno;
  files.push_back(fd >= 0 ? std::make_unique<OpenFile>(fd, path) : nullptr);
  errno = error;  // the reason of a failed open, for the caller
  return fd >= 0 ? static_cast<std::int32_t>(files.size() - 1) : -1;
}

std::string ReadFileLine(std::int32_t fileHandle, bool stopAtLineFeed) {
  std::string line;
  return ReadLineInto(FileOf(fileHandle), stopAtLineFeed, line) ? line : std::string(EndMark);
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

LineSource::LineSource(const std::filesystem::path& path, bool stopAtLineFeed, std::stop_token stop)
    : handle_(OpenFileHandle(path)), stopAtLineFeed_(stopAtLineFeed), stop_(std::move(stop)) {
  if (handle_ < 0) FailToRead(path, errno);
}

bool LineSource::Next(std::string& line) {
  // Looking at the stop request costs an atomic load: once per 4096 lines.
  if ((++lines_ & 4095) == 0 && stop_.stop_requested()) throw RunStopped();
  // A line that reads as the end mark is the end, as ReadFileLine gives it.
  return ReadLineInto(FileOf(handle_), stopAtLineFeed_, line) && line != EndMark;
}

}  // namespace velmora
