#include "core/gzip_file.h"

#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <climits>
#include <string>
#include <string_view>

#include "core/file_bytes.h"
#include "core/run_failure.h"

namespace velmora {

PlainOrGzipStream::PlainOrGzipStream(const std::filesystem::path& path) : name_(path.string()) {
  const int fd = OpenForReading(path);
  if (fd < 0) FailToRead(path, errno);
  Attach(fd);
}

PlainOrGzipStream::PlainOrGzipStream(int fd, std::string name) : name_(std::move(name)) {
  const int copy = dup(fd);
  if (copy < 0 || lseek(copy, 0, SEEK_SET) != 0) {
    const int error = errno;
    if (copy >= 0) close(copy);
    FailToRead(name_, error);
  }
  Attach(copy);
}

void PlainOrGzipStream::Attach(int fd) {
  // gzdopen reads a file without the gzip magic as it is.
  file_ = gzdopen(fd, "rb");
  if (file_ == nullptr) {
    close(fd);
    FailToRead(name_, ENOMEM);
  }
  gzbuffer(file_, 1 << 17);
}

PlainOrGzipStream::~PlainOrGzipStream() { gzclose(file_); }

std::size_t PlainOrGzipStream::Read(char* buffer, std::size_t size) {
  const auto wanted = static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
  const int got = gzread(file_, buffer, wanted);
  if (got == static_cast<int>(wanted)) return wanted;
  // A short read is the end of the data, or a fault that gzerror names.
  int error = Z_OK;
  const char* message = gzerror(file_, &error);
  if (error == Z_ERRNO) FailToRead(name_, errno);
  if (error != Z_OK) {
    // zlib names the stream "<fd:N>"; the file's own name is already given.
    std::string_view reason = message;
    if (reason.starts_with("<fd:") && reason.find(": ") != std::string_view::npos) {
      reason.remove_prefix(reason.find(": ") + 2);
    }
    throw RunFailure(name_ + ": cannot be read: damaged gzip data (" + std::string(reason) + ")");
  }
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::string ReadPlainOrGzipFile(const std::filesystem::path& path) {
  PlainOrGzipStream stream(path);
  std::string bytes;
  char buffer[1 << 16];
  while (const std::size_t got = stream.Read(buffer, sizeof buffer)) bytes.append(buffer, got);
  return bytes;
}

}  // namespace velmora
