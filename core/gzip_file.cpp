#include "core/gzip_file.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>

#include "core/file_bytes.h"
#include "core/run_failure.h"

namespace velmora {
namespace {

constexpr std::size_t kInputBlock = 1 << 17;

bool StartsMember(const unsigned char* bytes) { return bytes[0] == 0x1f && bytes[1] == 0x8b; }

}  // namespace

// inflate() rather than gzread(): gzread takes anything after a member that
// does not start another one for the end of the data, so a damaged second
// member would pass for a short file.
struct PlainOrGzipStream::Inflater {
  z_stream stream{};
  ~Inflater() { inflateEnd(&stream); }
};

PlainOrGzipStream::PlainOrGzipStream(const std::filesystem::path& path)
    : name_(path.string()), fd_(OpenForReading(path)), input_(kInputBlock) {
  if (fd_ < 0) FailToRead(path, errno);
}

PlainOrGzipStream::PlainOrGzipStream(int fd, std::string name) : name_(std::move(name)), input_(kInputBlock) {
  const int copy = dup(fd);
  if (copy < 0 || lseek(copy, 0, SEEK_SET) != 0) {
    const int error = errno;
    if (copy >= 0) close(copy);
    FailToRead(name_, error);
  }
  fd_ = copy;
}

PlainOrGzipStream::~PlainOrGzipStream() {
  if (fd_ >= 0) close(fd_);
}

void PlainOrGzipStream::FailDamaged(const std::string& reason) const {
  throw RunFailure(name_ + ": cannot be read: damaged gzip data (" + reason + ")");
}

bool PlainOrGzipStream::Hold(std::size_t count) {
  while (end_ - at_ < count && !fileEnded_) {
    std::copy(input_.begin() + static_cast<std::ptrdiff_t>(at_), input_.begin() + static_cast<std::ptrdiff_t>(end_),
              input_.begin());
    end_ -= at_;
    at_ = 0;
    const ssize_t got = read(fd_, input_.data() + end_, input_.size() - end_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) FailToRead(name_, errno);
    if (got == 0) fileEnded_ = true;
    end_ += static_cast<std::size_t>(got);
  }
  return end_ - at_ >= count;
}

std::size_t PlainOrGzipStream::Read(char* buffer, std::size_t size) {
  if (size == 0) return 0;
  if (mode_ == Mode::Undecided) {
    // A file that does not start with the gzip magic is read as it is.
    mode_ = Hold(2) && StartsMember(input_.data() + at_) ? Mode::Gzip : Mode::Plain;
    if (mode_ == Mode::Gzip) {
      inflater_ = std::make_unique<Inflater>();
      if (inflateInit2(&inflater_->stream, 15 + 16) != Z_OK) {
        inflater_.reset();  // nothing to end
        FailToRead(name_, ENOMEM);
      }
    }
  }
  switch (mode_) {
    case Mode::Gzip:
      return ReadGzip(buffer, size);
    case Mode::Plain: {
      if (at_ == end_ && !Hold(1)) return 0;
      const std::size_t count = std::min(size, end_ - at_);
      std::copy_n(input_.data() + at_, count, buffer);
      at_ += count;
      return count;
    }
    case Mode::Undecided:
    case Mode::Ended:
      break;
  }
  return 0;
}

std::size_t PlainOrGzipStream::ReadGzip(char* buffer, std::size_t size) {
  z_stream& stream = inflater_->stream;
  auto* const out = reinterpret_cast<Bytef*>(buffer);
  std::size_t produced = 0;
  while (produced < size) {
    if (at_ == end_) Hold(1);
    stream.next_in = input_.data() + at_;
    stream.avail_in = static_cast<uInt>(end_ - at_);
    stream.next_out = out + produced;
    stream.avail_out = static_cast<uInt>(std::min<std::size_t>(size - produced, UINT_MAX));
    const int result = inflate(&stream, Z_NO_FLUSH);
    at_ = end_ - stream.avail_in;
    produced = static_cast<std::size_t>(stream.next_out - out);
    switch (result) {
      case Z_OK:
        continue;
      case Z_STREAM_END:
        // The member's CRC and length matched. Either the file ends here or
        // the next member starts at once.
        if (!Hold(1)) {
          mode_ = Mode::Ended;
          return produced;
        }
        if (!Hold(2)) FailDamaged(input_[at_] == 0x1f ? "unexpected end of file" : "data after the last member");
        if (!StartsMember(input_.data() + at_)) FailDamaged("data after the last member");
        inflateReset(&stream);
        continue;
      case Z_BUF_ERROR:
        // No progress: only a member cut short leaves inflate wanting input.
        if (at_ == end_ && !fileEnded_) continue;
        FailDamaged("unexpected end of file");
      case Z_MEM_ERROR:
        FailToRead(name_, ENOMEM);
      default:
        FailDamaged(stream.msg != nullptr ? stream.msg : "invalid data");
    }
  }
  return produced;
}

std::string ReadPlainOrGzipFile(const std::filesystem::path& path) {
  PlainOrGzipStream stream(path);
  std::string bytes;
  char buffer[1 << 16];
  while (const std::size_t got = stream.Read(buffer, sizeof buffer)) bytes.append(buffer, got);
  return bytes;
}

}  // namespace velmora
