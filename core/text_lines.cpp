#include "core/text_lines.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

TextLines::TextLines(ByteStream& bytes, std::size_t bufferSize)
    : bytes_(bytes), buffer_(std::max(bufferSize, kByteOrderMark.size())) {}

bool TextLines::Fill() {
  at_ = 0;
  end_ = bytes_.Read(buffer_.data(), buffer_.size());
  if (started_) return end_ > 0;
  started_ = true;
  // The mark is looked for in the first bytes however the stream hands them out.
  while (end_ > 0 && end_ < kByteOrderMark.size()) {
    const std::size_t got = bytes_.Read(buffer_.data() + end_, buffer_.size() - end_);
    if (got == 0) break;
    end_ += got;
  }
  if (std::string_view(buffer_.data(), end_).starts_with(kByteOrderMark)) at_ = kByteOrderMark.size();
  return end_ > 0;
}

bool TextLines::Next(LinePiece& piece) {
  if (finished_) return false;
  for (;;) {
    if (at_ == end_) {
      if (Fill()) continue;
      finished_ = true;
      piece = {{}, true};
      return true;
    }
    if (!afterCr_) break;
    afterCr_ = false;
    if (buffer_[at_] == '\n') ++at_;
  }
  const char* start = buffer_.data() + at_;
  const char* stop = buffer_.data() + end_;
  const char* found = std::find_if(start, stop, [](char c) { return c == '\n' || c == '\r'; });
  piece.bytes = std::string_view(start, static_cast<std::size_t>(found - start));
  piece.ends = found != stop;
  at_ = static_cast<std::size_t>(found - buffer_.data());
  if (piece.ends) {
    afterCr_ = *found == '\r';
    ++at_;
  }
  return true;
}

}  // namespace velmora
