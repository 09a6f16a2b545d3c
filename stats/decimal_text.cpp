#include "stats/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "stats/number_format.h"

namespace velmora {
namespace {

std::vector<int> DigitsLeastFirst(std::string_view text) {
  std::vector<int> digits;
  for (auto it = text.rbegin(); it != text.rend(); ++it) digits.push_back(*it - '0');
  return digits;
}

bool Blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// The value of a digit text when it fits a signed 32-bit integer.
bool ReadInt32(std::string_view text, std::int64_t& value) {
  if (text.empty() || text.size() > 10) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

std::string MultiplyDigits(std::string_view x, std::string_view y) {
  if (Blank(x)) x = "0";
  if (Blank(y)) y = "0";
  const std::vector<int> xs = DigitsLeastFirst(x);
  const std::vector<int> ys = DigitsLeastFirst(y);
  std::vector<int> result(xs.size() + ys.size(), 0);
  for (std::size_t i = 0; i < xs.size(); ++i) {
    for (std::size_t j = 0; j < ys.size(); ++j) {
      const int product = xs[i] * ys[j];
      result[i + j] += product % 10;
      result[i + j + 1] += product / 10;
      if (result[i + j] > 9) {
        result[i + j + 1] += result[i + j] / 10;
        result[i + j] %= 10;
      }
    }
  }
  while (result.size() > 1 && result.back() == 0) result.pop_back();
  std::string text;
  for (auto it = result.rbegin(); it != result.rend(); ++it) text.push_back(static_cast<char>('0' + *it));
  return text;
}

std::string MultiplyDecimal(std::string_view x, std::string_view y) {
  std::int64_t xv = 0;
  std::int64_t yv = 0;
  if (ReadInt32(x, xv) && ReadInt32(y, yv) && xv * yv <= std::numeric_limits<std::int32_t>::max()) {
    return std::to_string(xv * yv);
  }
  const std::size_t zeros = (x.size() > 10 ? x.size() - 10 : 0) + (y.size() > 10 ? y.size() - 10 : 0);
  return MultiplyDigits(x.substr(0, 10), y.substr(0, 10)) + std::string(zeros, '0');
}

std::int64_t RoundToMicros(double q) {
  if (q < 0) return -RoundToMicros(-q);
  if (q == 0) return 0;
  int exponent = 0;
  const double fraction = std::frexp(q, &exponent);  // q = fraction * 2^exponent
  const auto mantissa = static_cast<unsigned __int128>(std::ldexp(fraction, 53));
  const unsigned __int128 scaled = mantissa * 1000000u;  // q * 10^6 = scaled * 2^(exponent - 53)
  const int shift = 53 - exponent;
  if (shift <= 0) return static_cast<std::int64_t>(scaled << -shift);
  if (shift >= 100) return 0;
  const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
  return static_cast<std::int64_t>((scaled + half) >> shift);
}

std::string DivideDecimal(std::string_view x, std::string_view y) {
  const double qx = ParseNumber(x.substr(0, 11));
  const double qy = ParseNumber(y.substr(0, 11));
  const double rounded = static_cast<double>(RoundToMicros(qx / qy)) / 1e6;
  const auto e = static_cast<int>(x.size()) - static_cast<int>(y.size());
  return GeneralNumber(rounded * std::pow(10.0, e));
}

}  // namespace velmora
