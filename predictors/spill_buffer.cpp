#include "predictors/spill_buffer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>  // mkostemp
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace velmora::scanner {

SpillBuffer::SpillBuffer(SpillBuffer&& other) noexcept
    : folder_(std::move(other.folder_)),
      memory_(std::move(other.memory_)),
      file_(std::exchange(other.file_, -1)),
      spilled_(std::exchange(other.spilled_, 0)) {}

SpillBuffer& SpillBuffer::operator=(SpillBuffer&& other) noexcept {
  if (this != &other) {
    if (file_ >= 0) ::close(file_);
    folder_ = std::move(other.folder_);
    memory_ = std::move(other.memory_);
    file_ = std::exchange(other.file_, -1);
    spilled_ = std::exchange(other.spilled_, 0);
  }
  return *this;
}

SpillBuffer::~SpillBuffer() {
  if (file_ >= 0) ::close(file_);
}

void SpillBuffer::Fail(const char* what, const std::string& reason) const {
  throw std::runtime_error(std::string(what) + " a temporary file in " + folder_ + ": " + reason);
}

void SpillBuffer::Spill() {
  if (file_ < 0) {
    // A name no one else holds (mkostemp opens with O_CREAT | O_EXCL), gone
    // from the folder at once: nothing is left behind, whatever happens.
    std::string name = folder_ + "/.miranda-spill-XXXXXX";
    file_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (file_ < 0) Fail("cannot create", std::strerror(errno));
    if (::unlink(name.c_str()) != 0) Fail("cannot remove the name of", std::strerror(errno));
  }
  // Unbuffered writes: every error (a full disk, a size limit) shows here,
  // not at a later flush.
  for (std::size_t written = 0; written < memory_.size();) {
    const ssize_t count = ::write(file_, memory_.data() + written, memory_.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) Fail("cannot write", std::strerror(errno));
    if (count == 0) Fail("cannot write", "nothing written");
    written += static_cast<std::size_t>(count);
  }
  spilled_ += memory_.size();
  memory_.clear();
}

void SpillBuffer::WriteTo(std::ostream& out) {
  if (file_ >= 0) {
    char block[1 << 16];
    for (std::size_t done = 0; done < spilled_;) {
      const ssize_t count = ::pread(file_, block, std::min(sizeof block, spilled_ - done), static_cast<off_t>(done));
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) Fail("cannot read", std::strerror(errno));
      if (count == 0) {
        Fail("cannot read", "it ends after " + std::to_string(done) + " of " + std::to_string(spilled_) + " bytes");
      }
      out.write(block, count);
      done += static_cast<std::size_t>(count);
    }
    ::close(std::exchange(file_, -1));
    spilled_ = 0;
  }
  out << memory_;
  memory_.clear();
}

}  // namespace velmora::scanner
