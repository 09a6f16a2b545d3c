#include "stats/fisher.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "run/run_failure.h"
#include "stats/decimal_text.h"
#include "stats/number_format.h"

namespace velmora {
namespace {

using Wide = unsigned __int128;

constexpr std::array<Wide, 39> MakePowersOfTen() {
  std::array<Wide, 39> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
  return powers;
}
constexpr auto kPowersOfTen = MakePowersOfTen();

int DigitCount(Wide value) {
  int digits = 1;
  while (digits < 39 && value >= kPowersOfTen[static_cast<std::size_t>(digits)]) ++digits;
  return digits;
}

// A decimal text known by its length and its leading digits: `head` is the
// number its first DigitCount(head) characters form. The characters after
// them are zeros for a product, and never looked at for a factorial.
struct DecimalText {
  Wide head;
  int length;

  // The number that the first k characters form (k <= length).
  std::uint64_t Leading(int k) const {
    const int digits = DigitCount(head);
    const Wide value = k <= digits ? head / kPowersOfTen[static_cast<std::size_t>(digits - k)]
                                   : head * kPowersOfTen[static_cast<std::size_t>(k - digits)];
    return static_cast<std::uint64_t>(value);
  }
};

DecimalText Factorial(const FactorialTable& factorials, int k) {
  return {factorials.Leading(k), static_cast<int>(factorials.Text(k).size())};
}

// MultiplyDecimal on the compact form: the product of the 10-digit cuts.
DecimalText Multiply(const DecimalText& x, const DecimalText& y) {
  const int kx = std::min(10, x.length);
  const int ky = std::min(10, y.length);
  const Wide product = static_cast<Wide>(x.Leading(kx)) * y.Leading(ky);
  return {product, DigitCount(product) + (x.length - kx) + (y.length - ky)};
}

}  // namespace

double TableProbability(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c,
                        std::int32_t d) {
  if (a < 0 || b < 0 || c < 0 || d < 0) return 0;
  const std::int32_t n = a + b + c + d;
  if (n > FactorialTable::kLast || factorials.Text(n).empty()) {
    throw RunFailure("2x2 table total " + std::to_string(n) + " lies beyond the factorial table");
  }
  auto F = [&](int k) { return Factorial(factorials, k); };
  DecimalText numerator = Multiply(Multiply(Multiply(F(a + b), F(a + c)), F(c + d)), F(b + d));
  const DecimalText denominator = Multiply(Multiply(Multiply(Multiply(F(a), F(b)), F(c)), F(d)), F(n));
  numerator.length += 8;  // the numerator is scaled by 10^8 before the division
  const double qx = static_cast<double>(numerator.Leading(std::min(11, numerator.length)));
  const double qy = static_cast<double>(denominator.Leading(std::min(11, denominator.length)));
  const double rounded = static_cast<double>(RoundToMicros(qx / qy)) / 1e6;
  const double quotient = rounded * std::pow(10.0, numerator.length - denominator.length);
  return ParseNumber(GeneralNumber(quotient)) / 1e8;
}

double FisherExactP(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c,
                    std::int32_t d) {
  const double observed = TableProbability(factorials, a, b, c, d);
  double sum = 0;
  for (std::int32_t t = std::max(0, a - d); t <= std::min(a + b, a + c); ++t) {
    const double p = TableProbability(factorials, t, a + b - t, a + c - t, d - a + t);
    if (p <= observed) sum += p;
  }
  return sum;
}

double FisherCache::FisherExactP(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  if (a < 0 || b < 0 || c < 0 || d < 0) return velmora::FisherExactP(factorials_, a, b, c, d);
  const std::int32_t first = std::max(0, a - d);
  const std::int32_t last = std::min(a + b, a + c);
  const auto key = (static_cast<std::uint64_t>(a + b + c + d) << 40) | (static_cast<std::uint64_t>(a + b) << 20) |
                   static_cast<std::uint64_t>(a + c);
  auto [entry, added] = probabilities_.try_emplace(key);
  std::vector<double>& probabilities = entry->second;
  if (added) {
    for (std::int32_t t = first; t <= last; ++t) {
      probabilities.push_back(TableProbability(factorials_, t, a + b - t, a + c - t, d - a + t));
    }
  }
  const double observed = probabilities[static_cast<std::size_t>(a - first)];
  double sum = 0;
  for (double p : probabilities) {
    if (p <= observed) sum += p;
  }
  return sum;
}

}  // namespace velmora
