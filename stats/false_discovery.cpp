#include "stats/false_discovery.h"

#include <algorithm>
#include <numeric>

namespace velmora {

std::vector<double> BenjaminiHochberg(std::span<const double> pValues) {
  const std::size_t m = pValues.size();
  std::vector<std::size_t> order(m);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return pValues[x] < pValues[y]; });
  std::vector<double> adjusted(m);
  double running = 1;
  // From the largest P-value down, so that each value takes the minimum
  // over the ranks above it.
  for (std::size_t rank = m; rank >= 1; --rank) {
    const std::size_t at = order[rank - 1];
    running = std::min(running, pValues[at] * static_cast<double>(m) / static_cast<double>(rank));
    adjusted[at] = running;
  }
  return adjusted;
}

}  // namespace velmora
