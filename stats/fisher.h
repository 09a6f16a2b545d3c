#pragma once

// The two-sided exact P-value of a 2x2 table on the factorial texts.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "stats/factorial_table.h"

namespace velmora {

// (a+b)! (a+c)! (c+d)! (b+d)! / (a! b! c! d! n!) as the decimal-text
// arithmetic gives it: every product cuts its operands to 10 leading digits
// and the quotient is taken from 11 leading digits. 0 when a cell is negative.
double TableProbability(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c,
                        std::int32_t d);

// Sum, in increasing order of the first cell, of the probabilities of the
// tables with the observed margins that are not above the observed one
// (0 for a table with a negative cell).
double FisherExactP(const FactorialTable& factorials, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d);

// FisherExactP with the probabilities of each set of margins computed once:
// the enrichment meets the same margins for many lncRNA-disease pairs.
class FisherCache {
 public:
  explicit FisherCache(const FactorialTable& factorials) : factorials_(factorials) {}
  double FisherExactP(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d);

 private:
  const FactorialTable& factorials_;
  std::unordered_map<std::uint64_t, std::vector<double>> probabilities_;
};

}  // namespace velmora
