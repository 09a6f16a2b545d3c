#include "core/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/run_failure.h"

namespace velmora {

int OpenForReading(const std::filesystem::path& path) {
  // Not blocking: opening a FIFO must not wait for a writer.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    const int error = S_ISDIR(status.st_mode) ? EISDIR : S_ISREG(status.st_mode) ? errno : EINVAL;
    close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

void FailToRead(const std::filesystem::path& path, int error) {
  const std::string reason = error == EINVAL ? "not a regular file" : std::strerror(error);
  throw RunFailure(path.string() + ": cannot be read: " + reason);
}

FileStream::FileStream(const std::filesystem::path& path) : fd_(OpenForReading(path)), path_(path) {
  if (fd_ < 0) FailToRead(path, errno);
}

FileStream::~FileStream() { close(fd_); }

std::size_t FileStream::Read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = read(fd_, buffer, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) FailToRead(path_, errno);
  }
}

void ReadFileBlocks(const std::filesystem::path& path, const std::function<void(std::string_view)>& block) {
  FileStream file(path);
  char buffer[1 << 16];
  while (const std::size_t got = file.Read(buffer, sizeof buffer)) block(std::string_view(buffer, got));
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::string bytes;
  ReadFileBlocks(path, [&](std::string_view block) { bytes += block; });
  return bytes;
}

}  // namespace velmora
