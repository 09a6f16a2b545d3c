#include "core/text_lines.h"

#include <gtest/gtest.h>

#include "core/text.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

// The lines a stream gives, pieces joined.
std::vector<std::string> Lines(ByteStream& bytes, std::size_t bufferSize) {
  TextLines lines(bytes, bufferSize);
  std::vector<std::string> read;
  std::string line;
  LinePiece piece;
  while (lines.Next(piece)) {
    EXPECT_LE(piece.bytes.size(), bufferSize);
    line += piece.bytes;
    if (!piece.ends) continue;
    read.push_back(line);
    line.clear();
  }
  EXPECT_TRUE(line.empty()) << "the last line ends";
  return read;
}

// The lines the whole text gives, as the input box holds it.
std::vector<std::string> Expected(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::string lines = WithLineFeeds(text);
  std::vector<std::string> expected;
  for (std::string_view line : Split(lines, '\n')) expected.emplace_back(line);
  return expected;
}

// However the bytes arrive and however small the buffer, no piece is longer
// than the buffer, a CR LF split between two reads is one line end, and the
// mark only counts at the start.
TEST(TextLines, LineEndsAcrossReadsAndBuffers) {
  const std::vector<std::string> texts = {
      "",
      "one",
      ">a\nAC\nGU\n",
      ">a\r\nAC\r\nGU\r\n",
      ">a\rAC\rGU\r",
      "a\r\r\nb\n\rc\r\n\r\nd",
      "\n\n\r\r",
      "\xEF\xBB\xBF>bom\r\nAC",
      "\xEF\xBB\xBF",
      "\xEF\xBB",
      "x\xEF\xBB\xBF\n\xEF\xBB\xBF",
  };
  for (const std::string& text : texts) {
    for (std::size_t buffer : {3u, 4u, 5u, 7u, 1u << 16}) {
      for (std::size_t step : {1u, 2u, 3u, 1u << 16}) {
        test::TrickleStream bytes(text, step);
        EXPECT_EQ(Lines(bytes, buffer), Expected(text))
            << "text " << testing::PrintToString(text) << ", buffer " << buffer << ", step " << step;
      }
    }
  }
}

}  // namespace
}  // namespace velmora
