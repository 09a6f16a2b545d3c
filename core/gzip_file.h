#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_stream.h"

namespace velmora {

// A file read a block at a time, gzip-decompressed when it is gzip-compressed
// (plain files are read as they are). A file that cannot be opened or read,
// and a compressed stream that is damaged or cut short, throw RunFailure
// naming the file, at the read that meets the fault. A gzip file may hold
// several members, each checked to its end (CRC and length); bytes after the
// last member that do not start another one are a fault too.
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
  struct Inflater;
  enum class Mode { Undecided, Plain, Gzip, Ended };

  // Reads until at least `count` unread input bytes are held or the file
  // ends; returns whether they are.
  bool Hold(std::size_t count);
  std::size_t ReadGzip(char* buffer, std::size_t size);
  [[noreturn]] void FailDamaged(const std::string& reason) const;

  std::string name_;
  int fd_ = -1;
  std::vector<unsigned char> input_;
  std::size_t at_ = 0, end_ = 0;  // the unread input is input_[at_, end_)
  bool fileEnded_ = false;
  Mode mode_ = Mode::Undecided;
  std::unique_ptr<Inflater> inflater_;
};

// The whole content of a file, read as PlainOrGzipStream reads it.
std::string ReadPlainOrGzipFile(const std::filesystem::path& path);

}  // namespace velmora
