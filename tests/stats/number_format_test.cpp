#include "stats/number_format.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora {
namespace {

// 15 significant digits, plain from 1E-04 up to 1E+15, with an exponent of at
// least two digits outside; the rounding to 15 digits may carry into the next
// power, which then decides the form.
TEST(GeneralNumber, PlainFormInsideTheRangeExponentFormOutside) {
  const std::pair<double, const char*> rows[] = {{0, "0"},
                                                 {11.475, "11.475"},
                                                 {1362.0 / 270.0, "5.04444444444444"},
                                                 {2.0 / 3.0, "0.666666666666667"},
                                                 {0.0001, "0.0001"},
                                                 {123456789012345.0, "123456789012345"},
                                                 {7.76679e-05, "7.76679E-05"},
                                                 {-2.5e-7, "-2.5E-07"},
                                                 {1.5e-120, "1.5E-120"},
                                                 {1e15, "1E+15"},
                                                 {9.999999999999996e-5, "0.0001"}};
  for (const auto& [value, text] : rows) EXPECT_EQ(GeneralNumber(value), text) << value;
}

// A number in general form, or any decimal text, reads as its value; text that
// is not wholly a number reads as NaN, which passes no threshold.
TEST(ParseNumber, ReadsOnlyWholeNumbers) {
  const std::pair<const char*, double> rows[] = {
      {"0.0166678", 0.0166678}, {"7.76679E-05", 7.76679e-05}, {"-2.5E-07", -2.5e-07}, {"1E+15", 1e15}, {"12", 12}};
  for (const auto& [text, value] : rows) EXPECT_EQ(ParseNumber(text), value) << text;
  for (const char* text : {"", "-", "E-05", "0.05x", "0.05 ", " 0.05", "0.05\r"}) {
    EXPECT_TRUE(std::isnan(ParseNumber(text))) << text;
  }
}

}  // namespace
}  // namespace velmora
