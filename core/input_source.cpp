#include "core/input_source.h"

#include "core/gzip_file.h"

namespace velmora {

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

}  // namespace velmora
