#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/byte_stream.h"

namespace velmora {

// A piece of a line, without its line end; `ends` when the line ends after it.
struct LinePiece {
  std::string_view bytes;
  bool ends = false;
};

// The lines of a byte stream as the input box holds them (WithLineFeeds): LF,
// CR LF and CR each end a line, and a UTF-8 byte-order mark at the start is
// skipped. A line longer than the buffer comes in several pieces, so that no
// line, however long, has to fit in memory. As Split of the whole text would,
// the stream ends with the line after the last line end, empty or not.
class TextLines {
 public:
  explicit TextLines(ByteStream& bytes, std::size_t bufferSize = 1 << 16);

  // Sets the next piece, valid until the next call; false after the last line.
  bool Next(LinePiece& piece);

 private:
  bool Fill();

  ByteStream& bytes_;
  std::vector<char> buffer_;
  std::size_t at_ = 0;
  std::size_t end_ = 0;
  bool started_ = false;
  bool afterCr_ = false;  // an LF next belongs to the CR that ended the line
  bool finished_ = false;
};

}  // namespace velmora
