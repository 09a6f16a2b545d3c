#pragma once

// Output text that waits for its turn: kept in memory up to a limit, then
// moved to an anonymous temporary file, so waiting text costs no memory.

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

namespace velmora::scanner {

class SpillBuffer {
 public:
  static constexpr std::size_t kMemoryLimit = 256 * 1024;

  // Appends what `write` adds to the string it is given.
  template <class Write>
  void Append(Write&& write) {
    // Room for the whole limit from the start: growing by copies costs more
    // than pages reserved and never touched.
    if (memory_.capacity() < kMemoryLimit) memory_.reserve(kMemoryLimit + kMemoryLimit / 4);
    write(memory_);
    if (memory_.size() >= kMemoryLimit) Spill();
  }
  // Writes everything appended so far to `out`, and empties the buffer.
  void WriteTo(std::ostream& out);

 private:
  void Spill();  // moves the text in memory to the file

  struct Close {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::string memory_;
  std::unique_ptr<std::FILE, Close> file_;
};

}  // namespace velmora::scanner
