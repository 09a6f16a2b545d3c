#include "core/line_reader.h"

#include <cstring>

#include "core/file_bytes.h"
#include "core/run_failure.h"

namespace velmora {

LineFile::LineFile(const std::filesystem::path& path) : LineFile(std::make_unique<FileStream>(path)) {}

LineFile::LineFile(std::unique_ptr<ByteStream> bytes) : bytes_(std::move(bytes)), buffer_(1 << 16) {}

int LineFile::Get() {
  if (at_ == end_ && !Fill()) return -1;
  return static_cast<unsigned char>(buffer_[at_++]);
}

// Appends bytes up to the terminator (consumed, not appended) or the end of
// the file; returns whether the terminator was met.
bool LineFile::AppendUntil(char terminator, std::string& line) {
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

bool LineFile::Fill() {
  at_ = 0;
  end_ = bytes_->Read(buffer_.data(), buffer_.size());
  return end_ > 0;
}

bool LineFile::ReadLine(bool stopAtLineFeed, std::string& line) {
  line.clear();
  lineEnded_ = false;
  const int first = Get();
  if (first < 0) return false;
  const char terminator = stopAtLineFeed ? '\n' : '\r';
  if (first == terminator) {
    if (!stopAtLineFeed) Get();
    lineEnded_ = true;
    return true;
  }
  line.push_back(static_cast<char>(first));
  lineEnded_ = AppendUntil(terminator, line);
  if (lineEnded_ && !stopAtLineFeed) Get();  // the LF of a CR LF pair, whatever it is
  return true;
}

LineSource::LineSource(const std::filesystem::path& path, bool stopAtLineFeed, std::stop_token stop)
    : file_(path), stopAtLineFeed_(stopAtLineFeed), stop_(std::move(stop)) {}

bool LineSource::Next(std::string& line) {
  // Looking at the stop request costs an atomic load: once per 4096 lines.
  if ((++lines_ & 4095) == 0 && stop_.stop_requested()) throw RunStopped();
  return file_.ReadLine(stopAtLineFeed_, line) && line != EndMark;
}

std::int32_t FileHandles::OpenFileHandle(const std::filesystem::path& path) {
  files_.emplace_back();
  try {
    files_.back() = std::make_unique<LineFile>(path);
  } catch (const RunFailure&) {
    return -1;
  }
  return FileCount();
}

std::string FileHandles::ReadFileLine(std::int32_t fileHandle, bool stopAtLineFeed) {
  std::string line;
  if (fileHandle <= 0 || fileHandle > FileCount()) return std::string(EndMark);
  LineFile* file = files_[static_cast<std::size_t>(fileHandle)].get();
  return file != nullptr && file->ReadLine(stopAtLineFeed, line) ? line : std::string(EndMark);
}

void FileHandles::CloseFileHandle(std::int32_t fileHandle) {
  if (fileHandle > 0 && fileHandle <= FileCount()) files_[static_cast<std::size_t>(fileHandle)].reset();
}

void FileHandles::CloseAllFiles() {
  for (auto& file : files_) file.reset();
}

}  // namespace velmora
