#pragma once

#include <span>
#include <vector>

namespace velmora {

// Benjamini-Hochberg adjusted P-values, in the order of `pValues`: the
// smallest m * p(j) / j over the ranks j at or above the value's own rank,
// capped at 1 (m is the number of P-values).
std::vector<double> BenjaminiHochberg(std::span<const double> pValues);

}  // namespace velmora
