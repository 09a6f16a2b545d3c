#include "stats/false_discovery.h"

#include <gtest/gtest.h>

#include <vector>

#include "stats/enrichment.h"

namespace velmora {
namespace {

struct AdjustCase {
  std::vector<double> p, expected;
};

// Worked by hand: sort, scale each by m / rank, take the running minimum
// from the largest down, cap at 1, and put the values back in input order.
TEST(BenjaminiHochberg, AdjustsInInputOrder) {
  const std::vector<AdjustCase> cases = {
      {{0.01, 0.04, 0.03, 0.005}, {0.02, 0.04, 0.04, 0.02}},
      {{0.5, 0.9, 0.8}, {0.9, 0.9, 0.9}},  // running minimum from the top
      {{0.02, 0.02, 0.02, 0.9}, {0.0266666666666667, 0.0266666666666667, 0.0266666666666667, 0.9}},  // ties
      {{1.0, 0.6}, {1.0, 1.0}},                                                                      // capped at 1
      {{0.3}, {0.3}},
      {{}, {}},
  };
  for (const AdjustCase& c : cases) {
    const std::vector<double> adjusted = BenjaminiHochberg(c.p);
    ASSERT_EQ(adjusted.size(), c.expected.size());
    for (std::size_t i = 0; i < adjusted.size(); ++i) EXPECT_NEAR(adjusted[i], c.expected[i], 1e-12) << i;
  }
}

TEST(SharedMirnas, ListsTheCommonNamesInTheDiseaseOrder) {
  const NamedSet disease("Glioma\tm3\tm1\tm9\tm2");
  EXPECT_EQ(SharedMirnas(disease, HeldMirnas(NamedSet(">L\tm1\tm2\tm3\tm7"))),
            (std::vector<std::string_view>{"m3", "m1", "m2"}));
  EXPECT_TRUE(SharedMirnas(disease, HeldMirnas(NamedSet(">L\tM1\tm4"))).empty());  // exact, case-sensitive
  EXPECT_TRUE(SharedMirnas(disease, HeldMirnas(NamedSet(">L"))).empty());
}

}  // namespace
}  // namespace velmora
