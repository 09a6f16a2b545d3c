#include "core/input_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/file_bytes.h"
#include "core/gzip_file.h"

namespace velmora {

struct InputSource::OwnedDescriptor {
  explicit OwnedDescriptor(int descriptor) : fd(descriptor) {}
  ~OwnedDescriptor() { close(fd); }
  OwnedDescriptor(const OwnedDescriptor&) = delete;
  OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;
  int fd;
};

InputSource InputSource::Text(std::string_view text) {
  InputSource source;
  source.text_ = text;
  return source;
}

InputSource InputSource::File(std::filesystem::path path) {
  InputSource source;
  source.kind_ = Kind::File;
  source.file_ = std::move(path);
  return source;
}

InputSource InputSource::Descriptor(int fd, std::string name) {
  InputSource source;
  source.kind_ = Kind::Descriptor;
  source.fd_ = fd;
  source.name_ = std::move(name);
  return source;
}

std::unique_ptr<ByteStream> InputSource::Open() const {
  switch (kind_) {
    case Kind::File:
      return std::make_unique<PlainOrGzipStream>(file_);
    case Kind::Descriptor:
      return std::make_unique<PlainOrGzipStream>(fd_, name_);
    case Kind::Text:
      break;
  }
  return std::make_unique<MemoryStream>(text_);
}

InputSource InputSource::Held() const {
  if (kind_ != Kind::File) return *this;
  const int fd = OpenForReading(file_);
  if (fd < 0) FailToRead(file_, errno);
  InputSource held = Descriptor(fd, file_.string());
  held.owned_ = std::make_shared<const OwnedDescriptor>(fd);
  return held;
}

bool InputSource::Is(const std::filesystem::path& path) const {
  struct stat input {
  }, other{};
  const bool opened = kind_ == Kind::Descriptor ? fstat(fd_, &input) == 0
                      : kind_ == Kind::File     ? stat(file_.c_str(), &input) == 0
                                                : false;
  return opened && stat(path.c_str(), &other) == 0 && input.st_dev == other.st_dev && input.st_ino == other.st_ino;
}

}  // namespace velmora
