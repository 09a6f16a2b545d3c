#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/byte_stream.h"

namespace velmora {

// A regular file read a block at a time, as it is. Opening fails as
// OpenForReading does and a read error throws RunFailure naming the file:
// a file that cannot be read must never pass for a short one.
class FileStream final : public ByteStream {
 public:
  explicit FileStream(const std::filesystem::path& path);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  int fd_;
  std::filesystem::path path_;
};

// The whole content of a file. A file that cannot be opened or read (missing,
// a folder, no permission, an I/O error) throws RunFailure naming the file
// and the reason; nothing is ever created.
std::string ReadFileBytes(const std::filesystem::path& path);

// Hands the file's bytes to `block` a block at a time, so that no file has to
// fit in memory; fails as ReadFileBytes does.
void ReadFileBlocks(const std::filesystem::path& path, const std::function<void(std::string_view)>& block);

// Opens a file for reading, refusing folders (EISDIR) and anything else that
// is not a regular file, such as a FIFO or a device (EINVAL), without waiting
// on it. Returns the descriptor, or -1 with errno set.
int OpenForReading(const std::filesystem::path& path);

// "<path>: cannot be read: <reason of errno>" ("not a regular file" for EINVAL).
[[noreturn]] void FailToRead(const std::filesystem::path& path, int error);

}  // namespace velmora
