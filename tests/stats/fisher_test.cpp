#include "stats/fisher.h"

#include <gtest/gtest.h>

#include <random>

#include "stats/decimal_text.h"
#include "stats/number_format.h"
#include "tests/support/reference_arithmetic.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

const FactorialTable& F() { return test::BuiltFactorials(); }

// Tables with their two-sided P-value (and hypergeometric value, where
// given) worked out apart with exact integers, each bit for bit as the
// literal arithmetic on decimal texts gives it; then thousands of random
// tables with n = 494.
TEST(FisherExactP, SpecimenTablesAndTheLiteralArithmetic) {
  struct Row {
    std::int32_t a, b, c, d;
    const char* probability;
    double p, tolerance;
  };
  const Row rows[] = {{3, 20, 10, 461, "0.0166678", 0.0186121, 5e-8},
                      {2, 10, 20, 462, "0.0823522", 0.0953731, 5e-7},
                      {10, 2, 3, 4, "0.0851393", 0.128741, 5e-7},  // a > d: the tables summed start at a - d = 6
                      {5, 10, 20, 459, nullptr, 0.000468996, 5e-10},
                      {3, 10, 27, 454, nullptr, 0.0382608, 5e-8},
                      {4, 6, 10, 474, nullptr, 7.76679e-05, 5e-11},
                      {1, 0, 40, 453, nullptr, 0.0830, 5e-5},
                      {0, 11, 21, 462, nullptr, 1.0, 1e-5},  // the most probable table: the sum is not capped
                      {1, 10, 20, 463, nullptr, 0.382982, 5e-6},
                      {0, 0, 0, 494, nullptr, 1.0, 1e-9},
                      {494, 0, 0, 0, nullptr, 1.0, 1e-9},
                      {247, 0, 0, 247, nullptr, 1.08982e-147, 1e-152},
                      {214, 0, 280, 0, nullptr, 1.0, 1e-9}};
  FisherCache cache(F());
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.a << " " << r.b << " " << r.c << " " << r.d);
    const double p = test::ReferenceFisherExactP(F(), r.a, r.b, r.c, r.d);
    EXPECT_EQ(FisherExactP(F(), r.a, r.b, r.c, r.d), p);
    EXPECT_EQ(cache.FisherExactP(r.a, r.b, r.c, r.d), p);
    EXPECT_EQ(TableProbability(F(), r.a, r.b, r.c, r.d), test::ReferenceTableProbability(F(), r.a, r.b, r.c, r.d));
    if (r.probability) {
      EXPECT_EQ(GeneralNumber(TableProbability(F(), r.a, r.b, r.c, r.d)), r.probability);
    }
    EXPECT_NEAR(p, r.p, r.tolerance);
  }
  std::mt19937 random(20261206);
  for (int i = 0; i < 3000; ++i) {
    const int q = std::uniform_int_distribution(1, 214)(random);
    const int p = std::uniform_int_distribution(1, 300)(random);
    const int a = std::uniform_int_distribution(0, std::min(p, q))(random);
    const int b = q - a, c = p - a, d = 494 - a - b - c;
    SCOPED_TRACE(testing::Message() << a << " " << b << " " << c << " " << d);
    ASSERT_EQ(TableProbability(F(), a, b, c, d), test::ReferenceTableProbability(F(), a, b, c, d));
    if (i % 10 == 0) {
      ASSERT_EQ(cache.FisherExactP(a, b, c, d), test::ReferenceFisherExactP(F(), a, b, c, d));
    }
  }
}

// The quotient is rounded to six decimals half away from zero from its exact
// binary value: 65/128 = 0.5078125 is a true tie, which round-half-even would
// make 0.507812.
TEST(RoundToMicros, RoundsTheExactValueHalfAwayFromZero) {
  const std::pair<double, std::int64_t> rows[] = {{0.5078125, 507813}, {0.1, 100000}, {9.9999996, 10000000}};
  for (const auto& [q, micros] : rows) EXPECT_EQ(RoundToMicros(q), micros) << q;
}

}  // namespace
}  // namespace velmora
