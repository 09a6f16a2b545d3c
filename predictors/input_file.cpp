#include "predictors/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace velmora::predictors {

namespace {

std::runtime_error Failure(const char* path, const std::string& reason) {
  return std::runtime_error(std::string("cannot read ") + path + ": " + reason);
}

// Opens the file and makes sure it is a regular one: not a folder, and not a
// FIFO or device, which would block or never end.
int OpenRegular(const char* path) {
  // Not blocking: opening a FIFO must not wait for a writer.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw Failure(path, std::strerror(errno));
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    throw Failure(path, S_ISDIR(status.st_mode) ? "it is a folder" : "not a regular file");
  }
  return fd;
}

}  // namespace

std::ifstream OpenInputFile(const char* path) {
  close(OpenRegular(path));
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure(path, std::strerror(errno));
  return in;
}

std::string ReadInputFile(const char* path) {
  const int fd = OpenRegular(path);
  std::string text;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      close(fd);
      throw Failure(path, std::strerror(error));
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  if (text.find('\0') != std::string::npos) throw Failure(path, "a binary file (it holds a NUL byte)");
  return text;
}

}  // namespace velmora::predictors
