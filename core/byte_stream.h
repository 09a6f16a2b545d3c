#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace velmora {

// Bytes read a block at a time, so that no input has to fit in memory whole.
class ByteStream {
 public:
  virtual ~ByteStream() = default;

  // Copies the next bytes, at most `size`, into `buffer` and returns how many;
  // 0 only at the end. A read error throws RunFailure naming the input.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// Bytes already in memory, such as the window's input box; they must outlive
// the stream.
class MemoryStream final : public ByteStream {
 public:
  explicit MemoryStream(std::string_view bytes) : rest_(bytes) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, rest_.size());
    std::copy_n(rest_.data(), count, buffer);
    rest_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view rest_;
};

}  // namespace velmora
