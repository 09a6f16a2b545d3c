#pragma once

// Output text that waits for its turn: kept in memory up to a limit, then
// moved to a temporary file beside the output, so that a buffer holds at
// most about the limit in memory however much text waits in it.

#include <cstddef>
#include <ostream>
#include <string>
#include <utility>

namespace velmora::scanner {

class SpillBuffer {
 public:
  static constexpr std::size_t kMemoryLimit = 256 * 1024;

  // `folder` is where the temporary file goes, if one is needed: the
  // output's folder, so the file system that takes the output takes it too.
  explicit SpillBuffer(std::string folder) : folder_(std::move(folder)) {}
  SpillBuffer(SpillBuffer&& other) noexcept;
  SpillBuffer& operator=(SpillBuffer&& other) noexcept;
  ~SpillBuffer();

  // Appends what `write` adds to the string it is given.
  template <class Write>
  void Append(Write&& write) {
    // Room for the whole limit and a report past it from the start (320 KiB
    // reserved, touched only as text arrives): growing by copies costs more.
    if (memory_.capacity() < kMemoryLimit) memory_.reserve(kMemoryLimit + kMemoryLimit / 4);
    write(memory_);
    if (memory_.size() >= kMemoryLimit) Spill();
  }
  // Writes everything appended so far to `out`, and empties the buffer.
  // Throws std::runtime_error, naming the reason, if the file fails.
  void WriteTo(std::ostream& out);

 private:
  void Spill();  // moves the text in memory to the file
  [[noreturn]] void Fail(const char* what, const std::string& reason) const;

  std::string folder_;
  std::string memory_;
  int file_ = -1;            // the temporary file, already unlinked
  std::size_t spilled_ = 0;  // bytes in it
};

}  // namespace velmora::scanner
