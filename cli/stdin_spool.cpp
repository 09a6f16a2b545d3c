#include "cli/stdin_spool.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/run_failure.h"

namespace velmora::cli {
namespace {

[[noreturn]] void Fail(const std::string& what, int error) {
  throw RunFailure("standard input: " + what + ": " + std::strerror(error));
}

// Writes all of `size` bytes, across short writes; false with errno set.
bool WriteAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, bytes, size);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    if (put == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

// The copy may take half of the space free when it starts, so that an
// endless or huge standard input (</dev/zero) never fills the folder that
// others use too.
std::uintmax_t Allowance(int spool) {
  struct statvfs space {};
  if (fstatvfs(spool, &space) != 0) return UINTMAX_MAX;
  return static_cast<std::uintmax_t>(space.f_bavail) * space.f_frsize / 2;
}

void Copy(int spool, const std::string& folder, const std::stop_token& stop) {
  const std::uintmax_t allowance = Allowance(spool);
  std::uintmax_t copied = 0;
  char buffer[1 << 16];
  for (;;) {
    if (stop.stop_requested()) throw RunStopped();
    const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
    if (got == 0) return;
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("cannot be read", errno);
    }
    copied += static_cast<std::uintmax_t>(got);
    if (copied > allowance) {
      throw RunFailure("standard input: more than half the free space of " + folder + " (" + std::to_string(allowance) +
                       " bytes), where it is copied first; give the input as a file");
    }
    if (!WriteAll(spool, buffer, static_cast<std::size_t>(got))) Fail("cannot be spooled to " + folder, errno);
  }
}

}  // namespace

StdinSpool::StdinSpool(std::stop_token stop) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) folder = "/tmp";
  std::string name = folder / "velmora-stdin-XXXXXX";
  fd_ = mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) Fail("cannot be spooled to " + folder.string(), errno);
  unlink(name.c_str());
  try {
    Copy(fd_, folder.string(), stop);
  } catch (...) {
    close(fd_);
    throw;
  }
}

StdinSpool::~StdinSpool() { close(fd_); }

}  // namespace velmora::cli
