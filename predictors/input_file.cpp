#include "predictors/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace velmora::predictors {

std::string ReadInputFile(const char* path) {
  const auto fail = [&](const std::string& reason) -> std::runtime_error {
    return std::runtime_error(std::string("cannot read ") + path + ": " + reason);
  };
  // Not blocking: opening a FIFO must not wait for a writer.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw fail(std::strerror(errno));
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    throw fail(S_ISDIR(status.st_mode) ? "it is a folder" : "not a regular file");
  }
  std::string text;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      close(fd);
      throw fail(std::strerror(error));
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  if (text.find('\0') != std::string::npos) throw fail("a binary file (it holds a NUL byte)");
  return text;
}

}  // namespace velmora::predictors
