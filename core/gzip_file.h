#pragma once

#include <filesystem>
#include <string>

#include "core/byte_stream.h"

struct gzFile_s;

namespace velmora {

// A file read a block at a time, gzip-decompressed when it is gzip-compressed
// (plain files are read as they are). A file that cannot be opened or read,
// and a compressed stream that is damaged or cut short, throw RunFailure
// naming the file, at the read that meets the fault.
class PlainOrGzipStream final : public ByteStream {
 public:
  explicit PlainOrGzipStream(const std::filesystem::path& path);
  // An open, seekable file read from its start under `name`; the stream reads
  // a duplicate of `fd`, which stays open.
  PlainOrGzipStream(int fd, std::string name);
  ~PlainOrGzipStream() override;
  PlainOrGzipStream(const PlainOrGzipStream&) = delete;
  PlainOrGzipStream& operator=(const PlainOrGzipStream&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  void Attach(int fd);

  std::string name_;
  gzFile_s* file_ = nullptr;
};

// The whole content of a file, read as PlainOrGzipStream reads it.
std::string ReadPlainOrGzipFile(const std::filesystem::path& path);

}  // namespace velmora
