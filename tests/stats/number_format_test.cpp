#include "stats/number_format.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(GeneralNumber, PlainForm) {
  EXPECT_EQ(GeneralNumber(0), "0");
  EXPECT_EQ(GeneralNumber(1), "1");
  EXPECT_EQ(GeneralNumber(-1), "-1");
  EXPECT_EQ(GeneralNumber(11.475), "11.475");
  EXPECT_EQ(GeneralNumber(31.6), "31.6");
  EXPECT_EQ(GeneralNumber(1362.0 / 270.0), "5.04444444444444");
  EXPECT_EQ(GeneralNumber(0.0001), "0.0001");
  EXPECT_EQ(GeneralNumber(0.000468996), "0.000468996");
  EXPECT_EQ(GeneralNumber(123456789012345.0), "123456789012345");
  EXPECT_EQ(GeneralNumber(2.0 / 3.0), "0.666666666666667");
}

TEST(GeneralNumber, ExponentFormBelowOneTenThousandthAndFromTenToTheFifteen) {
  EXPECT_EQ(GeneralNumber(7.76679e-05), "7.76679E-05");
  EXPECT_EQ(GeneralNumber(3.5e-06), "3.5E-06");
  EXPECT_EQ(GeneralNumber(1e-05), "1E-05");
  EXPECT_EQ(GeneralNumber(1.5e-120), "1.5E-120");
  EXPECT_EQ(GeneralNumber(1e15), "1E+15");
  EXPECT_EQ(GeneralNumber(-2.5e-7), "-2.5E-07");
  // Rounding to 15 digits carries into the next power before the form is chosen.
  EXPECT_EQ(GeneralNumber(9.999999999999996e-5), "0.0001");
}

}  // namespace
}  // namespace velmora
