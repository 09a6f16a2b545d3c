#include "predictors/output_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/run_failure.h"

namespace velmora::predictors {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

int Create(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
}

}  // namespace

OutputStream::Buffer::Buffer(int fd) : fd_(fd), bytes_(kBufferSize) {
  setp(bytes_.data(), bytes_.data() + kBufferSize);
}

bool OutputStream::Buffer::Drain() {
  const char* next = pbase();
  while (error_ == 0 && next < pptr()) {
    const ssize_t put = write(fd_, next, static_cast<std::size_t>(pptr() - next));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) error_ = put < 0 ? errno : ENOSPC;
    if (put > 0) next += put;
  }
  setp(bytes_.data(), bytes_.data() + kBufferSize);
  return error_ == 0;
}

OutputStream::Buffer::int_type OutputStream::Buffer::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
  return traits_type::not_eof(c);
}

int OutputStream::Buffer::sync() { return Drain() ? 0 : -1; }

OutputStream::OutputStream(std::string path)
    : path_(std::move(path)), fd_(Create(path_)), buffer_(fd_), stream_(&buffer_) {
  if (fd_ < 0) Fail(errno);
}

OutputStream::~OutputStream() {
  if (fd_ >= 0) close(fd_);
}

void OutputStream::Fail(int error) const { throw RunFailure("cannot write " + path_ + ": " + std::strerror(error)); }

void OutputStream::Close() {
  stream_.flush();
  if (buffer_.error() != 0) Fail(buffer_.error());
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) Fail(errno);
}

}  // namespace velmora::predictors
