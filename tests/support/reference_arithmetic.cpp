#include "tests/support/reference_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "stats/decimal_text.h"
#include "stats/number_format.h"

namespace velmora::test {
namespace {

// "###0.000000" of q: six decimals, half away from zero, by decimal digits.
std::string FormatSixDecimals(double q) {
  // 40 decimals of the exact binary value are enough to see a true tie.
  char exact[96];
  std::snprintf(exact, sizeof exact, "%.40f", std::fabs(q));
  std::string text(exact);
  const std::size_t point = text.find('.');
  const bool roundUp = text[point + 7] >= '5';
  text.resize(point + 7);
  if (roundUp) {
    for (std::size_t i = text.size(); i-- > 0;) {
      if (text[i] == '.') continue;
      if (text[i] != '9') {
        ++text[i];
        break;
      }
      text[i] = '0';
      if (i == 0) text.insert(text.begin(), '1');
    }
  }
  return (q < 0 ? "-" : "") + text;
}

std::string ReferenceDivideDecimal(const std::string& x, const std::string& y) {
  const double qx = std::strtod(x.substr(0, 11).c_str(), nullptr);
  const double qy = std::strtod(y.substr(0, 11).c_str(), nullptr);
  const double q = std::strtod(FormatSixDecimals(qx / qy).c_str(), nullptr);
  const int e = static_cast<int>(x.size()) - static_cast<int>(y.size());
  return GeneralNumber(q * std::pow(10.0, e));
}

}  // namespace

double ReferenceTableProbability(const FactorialTable& f, std::int32_t a, std::int32_t b, std::int32_t c,
                                 std::int32_t d) {
  if (a < 0 || b < 0 || c < 0 || d < 0) return 0;
  const std::int32_t n = a + b + c + d;
  const std::string numerator =
      MultiplyDecimal(MultiplyDecimal(MultiplyDecimal(f.Text(a + b), f.Text(a + c)), f.Text(c + d)), f.Text(b + d));
  const std::string denominator = MultiplyDecimal(
      MultiplyDecimal(MultiplyDecimal(MultiplyDecimal(f.Text(a), f.Text(b)), f.Text(c)), f.Text(d)), f.Text(n));
  const std::string quotient = ReferenceDivideDecimal(numerator + "00000000", denominator);
  return std::strtod(quotient.c_str(), nullptr) / std::pow(10.0, 8);
}

double ReferenceFisherExactP(const FactorialTable& f, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  const double observed = ReferenceTableProbability(f, a, b, c, d);
  double sum = 0;
  for (std::int32_t t = std::max(0, a - d); t <= std::min(a + b, a + c); ++t) {
    const double p = ReferenceTableProbability(f, t, a + b - t, a + c - t, d - a + t);
    if (p <= observed) sum += p;
  }
  return sum;
}

}  // namespace velmora::test
