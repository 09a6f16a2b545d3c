#pragma once

// The P-value arithmetic done literally on decimal texts, step by step as
// it is defined, kept as the reference the fast engine path must match bit
// for bit.

#include <cstdint>

#include "stats/factorial_table.h"

namespace velmora::test {

double ReferenceTableProbability(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c,
                                 std::int32_t d);
double ReferenceFisherExactP(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c,
                             std::int32_t d);

}  // namespace velmora::test
