#include "predictors/progress_report.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace velmora::predictors {
namespace {

constexpr std::chrono::milliseconds kInterval{200};

}  // namespace

int ProgressReport::DescriptorFromEnvironment() {
  const char* text = std::getenv("VELMORA_PROGRESS_FD");
  int fd = -1;
  if (text == nullptr || std::from_chars(text, text + std::strlen(text), fd).ec != std::errc() || fd < 3) return -1;
  // Never wait on a reader that has stopped reading.
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return -1;
  return fd;
}

void ProgressReport::Add(std::uint64_t units) {
  const std::uint64_t done = done_ += units;
  if (fd_ < 0) return;
  const std::unique_lock lock(writing_, std::try_to_lock);
  if (!lock.owns_lock()) return;  // another thread is reporting
  const auto now = std::chrono::steady_clock::now();
  if (now - last_ < kInterval && done < total_) return;
  last_ = now;
  Write(done);
}

void ProgressReport::Write(std::uint64_t done) {
  char line[48];
  auto end = std::to_chars(line, line + 20, done).ptr;
  *end++ = ' ';
  end = std::to_chars(end, end + 20, total_).ptr;
  *end++ = '\n';
  (void)!write(fd_, line, static_cast<std::size_t>(end - line));
}

}  // namespace velmora::predictors
