// The P-value arithmetic: the factorial table, Fisher's exact test, the
// Benjamini-Hochberg adjustment and the general number form.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "stats/decimal_text.h"
#include "stats/factorial_table.h"
#include "stats/false_discovery.h"
#include "stats/fisher.h"
#include "stats/number_format.h"
#include "tests/support/reference_arithmetic.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// 1! to count! in plain decimal, worked out here by long multiplication, each
// line ended by `end`.
std::string Factorials(int count, const std::string& end = "\r\n") {
  std::string file, value = "1";
  for (int k = 1; k <= count; ++k) {
    int carry = 0;
    for (auto digit = value.rbegin(); digit != value.rend(); ++digit, carry /= 10) {
      carry += (*digit - '0') * k;
      *digit = static_cast<char>('0' + carry % 10);
    }
    for (; carry > 0; carry /= 10) value.insert(value.begin(), static_cast<char>('0' + carry % 10));
    file += value + end;
  }
  return file;
}

// The table the build wrote and the factorial file of any size hold the
// factorials; a file like them loads with blank lines and lone CRs; every
// other file is refused naming it.
TEST(LoadFactorialTable, ReadsTheTableAndRefusesEveryBadOne) {
  const FactorialTable& built = test::BuiltFactorials();
  ASSERT_EQ(built.Last(), 500);
  std::string entries;
  for (int k = 1; k <= built.Last(); ++k) entries += built.Text(k) + "\r\n";
  EXPECT_EQ(entries, Factorials(500));
  EXPECT_EQ(FactorialFile(2000), Factorials(2000));
  test::TempDir dir;
  const fs::path path = dir / "mulnum.txt";
  const std::string file = path.string();
  for (const auto& [bytes, count] : {std::pair{"\r\n\r\n" + Factorials(500), 500}, {Factorials(7, "\r"), 7}}) {
    test::WriteBytes(path, bytes);
    const FactorialTable table = LoadFactorialTable(path);
    ASSERT_EQ(table.Last(), count);
    for (int k = 0; k <= count; ++k) EXPECT_EQ(table.Text(k), built.Text(k)) << k;
  }
  std::string tooMany;
  for (int k = 0; k <= FactorialTable::kMost; ++k) tooMany += "1\r\n";
  const std::pair<std::string, std::string> refused[] = {
      {tooMany, file + ": more than 5000 factorials"},
      {Factorials(500, "\n"), file + ": line 1 is not a plain decimal number"},  // LF alone ends no line
      {"1\r\n2\r\n6x\r\n", file + ": line 3 is not a plain decimal number"},
      {"1\r\n02\r\n", file + ": line 2 is not a plain decimal number"},
      {"\r\n", file + ": no factorials"},
  };
  for (const auto& [bytes, message] : refused) {
    test::WriteBytes(path, bytes);
    EXPECT_EQ(test::FailureOf([&] { LoadFactorialTable(path); }), message);
  }
  fs::remove(path);  // the reasons are ReadFileBytes's
  EXPECT_EQ(test::FailureOf([&] { LoadFactorialTable(path); }), file + ": cannot be read: No such file or directory");
}

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

// Worked by hand: sort, scale each by m / rank, take the running minimum
// from the largest down, cap at 1, and put the values back in input order.
TEST(BenjaminiHochberg, AdjustsInInputOrder) {
  const std::pair<std::vector<double>, std::vector<double>> rows[] = {
      {{0.01, 0.04, 0.03, 0.005}, {0.02, 0.04, 0.04, 0.02}},
      {{0.5, 0.9, 0.8}, {0.9, 0.9, 0.9}},  // running minimum from the top
      {{0.02, 0.02, 0.02, 0.9}, {0.0266666666666667, 0.0266666666666667, 0.0266666666666667, 0.9}},  // ties
      {{1.0, 0.6}, {1.0, 1.0}},                                                                      // capped at 1
      {{0.3}, {0.3}},
      {{}, {}},
  };
  for (const auto& [p, expected] : rows) {
    const std::vector<double> adjusted = BenjaminiHochberg(p);
    ASSERT_EQ(adjusted.size(), expected.size());
    for (std::size_t i = 0; i < adjusted.size(); ++i) EXPECT_NEAR(adjusted[i], expected[i], 1e-12) << i;
  }
}

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
