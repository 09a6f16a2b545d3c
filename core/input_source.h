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
  struct OwnedDescriptor;

 public:
  static InputSource Text(std::string_view text);
  static InputSource File(std::filesystem::path path);
  static InputSource Descriptor(int fd, std::string name);

  // A stream from the input's first byte; a file that cannot be opened throws
  // RunFailure naming it.
  std::unique_ptr<ByteStream> Open() const;

  // The same input with its file opened now and kept open by the result (and
  // its copies), so that every later pass reads the file that was opened,
  // even when its path is removed, replaced or written meanwhile. Text and
  // open files are returned as they are. A file that cannot be opened throws
  // RunFailure naming it.
  InputSource Held() const;

  // The file's path or the open file's name; empty for text.
  std::string Name() const { return kind_ == Kind::File ? file_.string() : name_; }

  // Whether `path` names the file this input reads: the same device and
  // inode. Always false for text.
  bool Is(const std::filesystem::path& path) const;

 private:
  enum class Kind { Text, File, Descriptor };
  Kind kind_ = Kind::Text;
  std::string_view text_;
  std::filesystem::path file_;
  int fd_ = -1;
  std::string name_;
  std::shared_ptr<const OwnedDescriptor> owned_;  // the open file of a held one
};

}  // namespace velmora
