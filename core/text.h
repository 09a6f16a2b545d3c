#pragma once

// Byte-string helpers: one byte per character, ASCII case rules.

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Splits at every separator; n separators give n + 1 fields.
std::vector<std::string_view> Split(std::string_view text, char separator);

// Removes leading and trailing spaces (code 32 only).
std::string_view TrimSpaces(std::string_view text);

std::string UpperCase(std::string_view text);

// Line ends CR LF, CR and LF all become LF, as the input box holds them.
std::string WithLineFeeds(std::string_view bytes);
std::string LowerCase(std::string_view text);

}  // namespace velmora
