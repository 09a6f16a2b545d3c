#include "stats/fisher.h"

#include <gtest/gtest.h>

#include <random>

#include "stats/number_format.h"
#include "tests/support/reference_arithmetic.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

const FactorialTable& F() { return test::BuiltFactorials(); }

TEST(TableProbability, AgreesWithTheHypergeometricValue) {
  EXPECT_EQ(GeneralNumber(TableProbability(F(), 3, 20, 10, 461)), "0.0166678");
  EXPECT_EQ(GeneralNumber(TableProbability(F(), 2, 10, 20, 462)), "0.0823522");
  EXPECT_EQ(GeneralNumber(TableProbability(F(), 10, 2, 3, 4)), "0.0851393");
}

TEST(FisherExactP, SpecimenTables) {
  EXPECT_NEAR(FisherExactP(F(), 3, 20, 10, 461), 0.0186121, 5e-8);
  // a > d: the summed tables start at a first cell of a - d = 6.
  EXPECT_NEAR(FisherExactP(F(), 10, 2, 3, 4), 0.128741, 5e-7);
  EXPECT_NEAR(FisherExactP(F(), 5, 10, 20, 459), 0.000468996, 5e-10);
  EXPECT_NEAR(FisherExactP(F(), 3, 10, 27, 454), 0.0382608, 5e-8);
  EXPECT_NEAR(FisherExactP(F(), 4, 6, 10, 474), 7.76679e-05, 5e-11);
  EXPECT_NEAR(FisherExactP(F(), 1, 0, 40, 453), 0.0830, 5e-5);
}

TEST(FisherExactP, MostProbableTableSumsToOneUncapped) {
  const double p = FisherExactP(F(), 0, 11, 21, 462);
  EXPECT_NEAR(p, 1.0, 1e-5);
}

TEST(FisherExactP, FastPathIsBitIdenticalToTheLiteralArithmetic) {
  // Every edge case above, then thousands of random tables with n = 494.
  const std::int32_t tables[][4] = {{3, 20, 10, 461}, {2, 10, 20, 462}, {10, 2, 3, 4},    {5, 10, 20, 459},
                                    {3, 10, 27, 454}, {4, 6, 10, 474},  {1, 0, 40, 453},  {1, 10, 20, 463},
                                    {0, 0, 0, 494},   {494, 0, 0, 0},   {247, 0, 0, 247}, {214, 0, 280, 0}};
  FisherCache cache(F());
  for (const auto& t : tables) {
    const double expected = test::ReferenceFisherExactP(F(), t[0], t[1], t[2], t[3]);
    EXPECT_EQ(FisherExactP(F(), t[0], t[1], t[2], t[3]), expected) << t[0] << " " << t[1] << " " << t[2];
    EXPECT_EQ(cache.FisherExactP(t[0], t[1], t[2], t[3]), expected);
    EXPECT_EQ(TableProbability(F(), t[0], t[1], t[2], t[3]),
              test::ReferenceTableProbability(F(), t[0], t[1], t[2], t[3]));
  }
  std::mt19937 random(20261206);
  for (int i = 0; i < 3000; ++i) {
    const int q = std::uniform_int_distribution(1, 214)(random);
    const int p = std::uniform_int_distribution(1, 300)(random);
    const int a = std::uniform_int_distribution(0, std::min(p, q))(random);
    const int b = q - a, c = p - a, d = 494 - a - b - c;
    ASSERT_EQ(TableProbability(F(), a, b, c, d), test::ReferenceTableProbability(F(), a, b, c, d))
        << a << " " << b << " " << c << " " << d;
    if (i % 10 == 0) {
      ASSERT_EQ(cache.FisherExactP(a, b, c, d), test::ReferenceFisherExactP(F(), a, b, c, d))
          << a << " " << b << " " << c << " " << d;
    }
  }
}

}  // namespace
}  // namespace velmora
