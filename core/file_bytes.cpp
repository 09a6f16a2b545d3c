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

void ReadFileBlocks(const std::filesystem::path& path, const std::function<void(std::string_view)>& block) {
  const int fd = OpenForReading(path);
  if (fd < 0) FailToRead(path, errno);
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      FailToRead(path, error);
    }
    try {
      block(std::string_view(buffer, static_cast<std::size_t>(got)));
    } catch (...) {
      close(fd);
      throw;
    }
  }
  close(fd);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::string bytes;
  ReadFileBlocks(path, [&](std::string_view block) { bytes += block; });
  return bytes;
}

}  // namespace velmora
