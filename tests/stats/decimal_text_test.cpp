#include "stats/decimal_text.h"

#include <gtest/gtest.h>

#include "tests/support/reference_arithmetic.h"

namespace velmora {
namespace {

TEST(MultiplyDecimal, SmallOperandsUseTheExactProduct) {
  EXPECT_EQ(MultiplyDecimal("12", "34"), "408");
  EXPECT_EQ(MultiplyDecimal("65536", "65536"), "4294967296");  // leaves the 32-bit range
  EXPECT_EQ(MultiplyDecimal("2147483648", "1"), "2147483648");
  EXPECT_EQ(MultiplyDecimal("2147483647", "1"), "2147483647");
}

TEST(MultiplyDecimal, CutsEachOperandToItsTenLeadingDigits) {
  EXPECT_EQ(MultiplyDecimal("123456789012", "100000000000"), "12345678900000000000000");
  EXPECT_EQ(MultiplyDecimal("99999999999", "99999999999"), "9999999998000000000100");
}

TEST(MultiplyDigits, LongMultiplicationEdgeCases) {
  EXPECT_EQ(MultiplyDigits("", "123"), "0");
  EXPECT_EQ(MultiplyDigits("  ", "123"), "0");
  EXPECT_EQ(MultiplyDigits("0005", "20"), "100");  // leading zero positions are dropped
  EXPECT_EQ(MultiplyDigits("9999999999", "9999999999"), "99999999980000000001");
}

TEST(DivideDecimal, RoundsTheQuotientToSixDecimals) {
  EXPECT_EQ(DivideDecimal("100000000000", "300000000000"), "0.333333");
  EXPECT_EQ(DivideDecimal("200000000000", "300000000000"), "0.666667");
  EXPECT_EQ(DivideDecimal("1000000000000000", "300000000000"), "3333.33");
  EXPECT_EQ(DivideDecimal("100000000000", "3000000000000000"), "3.33333E-05");
}

// 65/128 = 0.5078125 is a true tie at six decimals: half away from zero
// gives 0.507813 where round-half-even would give 0.507812.
TEST(RoundToMicros, TiesRoundAwayFromZero) {
  EXPECT_EQ(RoundToMicros(0.5078125), 507813);
  EXPECT_EQ(RoundToMicros(-0.5078125), -507813);
  EXPECT_EQ(test::FormatSixDecimals(0.5078125), "0.507813");
  EXPECT_EQ(RoundToMicros(0.1), 100000);
  EXPECT_EQ(RoundToMicros(9.9999996), 10000000);
}

TEST(RoundToMicros, AgreesWithDecimalRoundingOfTheExactValue) {
  for (int i = 1; i < 20000; ++i) {
    const double q = 0.1 + i * 0.000493827160493;
    std::string decimal = test::FormatSixDecimals(q);
    decimal.erase(decimal.find('.'), 1);
    EXPECT_EQ(RoundToMicros(q), std::stoll(decimal)) << "q = " << q;
  }
}

}  // namespace
}  // namespace velmora
