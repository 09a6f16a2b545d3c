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

  void Append(const std::string& text);
  // Writes everything appended so far to `out`, and empties the buffer.
  void WriteTo(std::ostream& out);

 private:
  struct Close {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::string memory_;
  std::unique_ptr<std::FILE, Close> file_;
};

}  // namespace velmora::scanner
