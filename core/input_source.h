#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/byte_stream.h"

namespace velmora {

// Where a run's input comes from, opened anew for each pass over it: text in
// memory (the window's input box, which must outlive the source), a file,
// plain or gzip-compressed, or an open seekable file under a name of its own
// (standard input, spooled).
class InputSource {
 public:
  static InputSource Text(std::string_view text);
  static InputSource File(std::filesystem::path path);
  static InputSource Descriptor(int fd, std::string name);

  // A stream from the input's first byte; a file that cannot be opened throws
  // RunFailure naming it.
  std::unique_ptr<ByteStream> Open() const;

 private:
  enum class Kind { Text, File, Descriptor };
  Kind kind_ = Kind::Text;
  std::string_view text_;
  std::filesystem::path file_;
  int fd_ = -1;
  std::string name_;
};

}  // namespace velmora
