#include "stats/number_format.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace velmora {

std::string GeneralNumber(double value) {
  if (value == 0) return "0";
  // Round to 15 significant digits first: the exponent after rounding decides the form.
  char scientific[32];
  const auto [end, error] =
      std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific, 14);
  const std::string_view text(scientific, static_cast<std::size_t>(end - scientific));
  const bool negative = text.front() == '-';
  const std::size_t mark = text.find('e');
  std::string digits;
  for (char c : text.substr(negative ? 1 : 0, mark - (negative ? 1 : 0))) {
    if (c != '.') digits.push_back(c);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  const char* exponentText = text.data() + mark + 1;
  if (*exponentText == '+') ++exponentText;
  std::from_chars(exponentText, end, exponent);

  std::string result = negative ? "-" : "";
  if (exponent < -4 || exponent >= 15) {
    result += digits.front();
    if (digits.size() > 1) result.append(".").append(digits, 1);
    result += exponent < 0 ? "E-" : "E+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) result += '0';
    result += std::to_string(magnitude);
  } else if (exponent < 0) {
    result.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
  } else {
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
      result.append(digits).append(integerDigits - digits.size(), '0');
    } else {
      result.append(digits, 0, integerDigits).append(".").append(digits, integerDigits);
    }
  }
  return result;
}

double ParseNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  // Not a number reads as NaN, which passes no threshold: a damaged P-value
  // must never read as the most significant one.
  if (error != std::errc() || end != text.data() + text.size()) return std::numeric_limits<double>::quiet_NaN();
  return value;
}

}  // namespace velmora
