#include "stats/fisher.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <string>

#include "core/run_failure.h"
#include "stats/decimal_text.h"
#include "stats/number_format.h"

namespace velmora {
namespace {

using Wide = unsigned __int128;

constexpr std::array<std::uint64_t, 20> MakePowersOfTen() {
  std::array<std::uint64_t, 20> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
  return powers;
}
constexpr auto kPowersOfTen = MakePowersOfTen();

int DigitCount(std::uint64_t value) {
  const int estimate = ((64 - std::countl_zero(value | 1)) * 1233) >> 12;
  return estimate + (value >= kPowersOfTen[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

// A decimal text by its value m * 10^z (only the value matters: the products
// are written without leading zeros). A product of two 10-digit cuts stays
// below 10^20, and every value from 2^64 up to there has 20 digits.
struct Decimal {
  Wide m;
  int z;

  int Length() const { return (m >> 64) != 0 ? 20 + z : DigitCount(static_cast<std::uint64_t>(m)) + z; }

  // The number that the first k characters of the text form (k <= 19).
  std::uint64_t Leading(int k) const {
    const int digits = Length() - z;
    if (k >= digits) return static_cast<std::uint64_t>(m) * kPowersOfTen[static_cast<std::size_t>(k - digits)];
    const std::uint64_t scale = kPowersOfTen[static_cast<std::size_t>(digits - k)];
    return (m >> 64) != 0 ? static_cast<std::uint64_t>(m / scale) : static_cast<std::uint64_t>(m) / scale;
  }

  // The value with every digit after the 10th read as 0.
  Decimal Cut() const {
    const int digits = Length() - z;
    return digits <= 10 ? *this : Decimal{Leading(10), z + digits - 10};
  }
};

// MultiplyDecimal on values: the exact product of the two cuts (the text it
// returns depends on the value only).
Decimal Multiply(const Decimal& x, const Decimal& y) {
  const Decimal cx = x.Cut();
  const Decimal cy = y.Cut();
  return {cx.m * cy.m, cx.z + cy.z};
}

// Entry k cut to its 10 leading digits.
Decimal Factorial(const FactorialTable& factorials, int k) {
  const int length = static_cast<int>(factorials.Text(k).size());
  return Decimal{factorials.LeadingTen(k), length - std::min(length, 10)};
}

double PowerOfTen(int e) {
  constexpr int kRange = 400;
  static const std::vector<double> table = [] {
    std::vector<double> powers;
    for (int i = -kRange; i <= kRange; ++i) powers.push_back(std::pow(10.0, i));
    return powers;
  }();
  return e >= -kRange && e <= kRange ? table[static_cast<std::size_t>(e + kRange)] : std::pow(10.0, e);
}

// micros * 10^k as the nearest double, as reading its decimal text gives it.
double NearestDouble(std::int64_t micros, int k) {
  static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (k >= 0 && k <= 22) return static_cast<double>(micros) * kExact[k];
  if (k < 0 && k >= -22) return static_cast<double>(micros) / kExact[-k];
  char text[48];
  char* end = std::to_chars(text, text + 24, micros).ptr;
  *end++ = 'e';
  end = std::to_chars(end, text + sizeof text, k).ptr;
  return ParseNumber(std::string_view(text, static_cast<std::size_t>(end - text)));
}

// The quotient micros / 10^6 * 10^e written in general number form and read
// back. Its 15 significant digits are those of micros * 10^(e-6) whenever
// the double product lies within one unit in the last place of that value
// (a 7-digit number is 5E-16 away from the nearest other 15-digit one), so
// then the text need not be written at all.
double QuotientAsWritten(std::int64_t micros, int e) {
  const double quotient = static_cast<double>(micros) / 1e6 * PowerOfTen(e);
  const double exact = NearestDouble(micros, e - 6);
  const double unit = std::nextafter(exact, HUGE_VAL) - exact;
  if (std::fabs(quotient - exact) <= unit) return exact;
  return ParseNumber(GeneralNumber(quotient));
}

// The numerator's product depends on the margins only, so the tables of
// one set of margins share it.
Decimal Numerator(const FactorialTable& factorials, std::int32_t rowTotal, std::int32_t columnTotal,
                  std::int32_t otherRowTotal, std::int32_t otherColumnTotal) {
  auto F = [&](int k) { return Factorial(factorials, k); };
  Decimal numerator = Multiply(Multiply(Multiply(F(rowTotal), F(columnTotal)), F(otherRowTotal)), F(otherColumnTotal));
  numerator.z += 8;  // the numerator is scaled by 10^8 before the division
  return numerator;
}

double Probability(const FactorialTable& factorials, const Decimal& numerator, std::int32_t a, std::int32_t b,
                   std::int32_t c, std::int32_t d) {
  auto F = [&](int k) { return Factorial(factorials, k); };
  const Decimal denominator = Multiply(Multiply(Multiply(Multiply(F(a), F(b)), F(c)), F(d)), F(a + b + c + d));
  const int lengthX = numerator.Length();
  const int lengthY = denominator.Length();
  const double qx = static_cast<double>(numerator.Leading(std::min(11, lengthX)));
  const double qy = static_cast<double>(denominator.Leading(std::min(11, lengthY)));
  return QuotientAsWritten(RoundToMicros(qx / qy), lengthX - lengthY) / 1e8;
}

void RequireInTable(const FactorialTable& factorials, std::int32_t n) {
  if (n > factorials.Last()) {
    throw RunFailure("2x2 table total " + std::to_string(n) + " lies beyond the factorial table");
  }
}

// The probabilities of every table with the margins of (a, b, c, d), in
// increasing order of the first cell from max(0, a - d); one numerator
// serves them all.
std::vector<double> MarginProbabilities(const FactorialTable& factorials, std::int32_t a, std::int32_t b,
                                        std::int32_t c, std::int32_t d) {
  RequireInTable(factorials, a + b + c + d);
  const Decimal numerator = Numerator(factorials, a + b, a + c, c + d, b + d);
  std::vector<double> probabilities;
  for (std::int32_t t = std::max(0, a - d); t <= std::min(a + b, a + c); ++t) {
    probabilities.push_back(Probability(factorials, numerator, t, a + b - t, a + c - t, d - a + t));
  }
  return probabilities;
}

// The sum, in table order, of the probabilities not above the observed one.
double SumNotAbove(const std::vector<double>& probabilities, std::size_t observed) {
  const double limit = probabilities[observed];
  double sum = 0;
  for (double p : probabilities) {
    if (p <= limit) sum += p;
  }
  return sum;
}

bool AnyNegative(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  return a < 0 || b < 0 || c < 0 || d < 0;
}

}  // namespace

double TableProbability(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c,
                        std::int32_t d) {
  if (AnyNegative(a, b, c, d)) return 0;
  RequireInTable(factorials, a + b + c + d);
  return Probability(factorials, Numerator(factorials, a + b, a + c, c + d, b + d), a, b, c, d);
}

// A table with a negative cell has probability 0, and so has every table
// summed with it: its P-value is 0.
double FisherExactP(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  if (AnyNegative(a, b, c, d)) return 0;
  return SumNotAbove(MarginProbabilities(factorials, a, b, c, d), static_cast<std::size_t>(a - std::max(0, a - d)));
}

double FisherCache::FisherExactP(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  if (AnyNegative(a, b, c, d)) return 0;
  const auto key = (static_cast<std::uint64_t>(a + b + c + d) << 40) | (static_cast<std::uint64_t>(a + b) << 20) |
                   static_cast<std::uint64_t>(a + c);
  auto [entry, added] = probabilities_.try_emplace(key);
  if (added) entry->second = MarginProbabilities(factorials_, a, b, c, d);
  return SumNotAbove(entry->second, static_cast<std::size_t>(a - std::max(0, a - d)));
}

}  // namespace velmora
