#pragma once

// The P-value arithmetic done literally on decimal texts, step by step as
// it is defined, kept as the reference the fast engine path must match bit
// for bit.

#include <cstdint>
#include <string>

#include "stats/factorial_table.h"

namespace velmora::test {

// "###0.000000" of q: six decimals, half away from zero, by decimal digits.
std::string FormatSixDecimals(double q);

std::string ReferenceDivideDecimal(const std::string& x, const std::string& y);
double ReferenceTableProbability(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c,
                                 std::int32_t d);
double ReferenceFisherExactP(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c,
                             std::int32_t d);

}  // namespace velmora::test
