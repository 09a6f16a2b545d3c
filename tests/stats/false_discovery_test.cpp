#include "stats/false_discovery.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

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

}  // namespace
}  // namespace velmora
