#include "core/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace velmora {

void OpenMissingStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open() returns the lowest free number: this one.
    if (open("/dev/null", O_RDWR) < 0) return;
  }
}

}  // namespace velmora
