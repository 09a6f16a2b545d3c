#include "mapping/mirna_name.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(NormaliseMirnaName, KeepsThreePartsLowerCased) {
  EXPECT_EQ(NormaliseMirnaName("hsa-miR-21-5p"), "hsa-mir-21");
  EXPECT_EQ(NormaliseMirnaName("hsa-let-7a-3p"), "hsa-let-7a");
  EXPECT_EQ(NormaliseMirnaName("hsa-mir-7-1"), "hsa-mir-7");
  EXPECT_EQ(NormaliseMirnaName("HSA-MIR-21"), "hsa-mir-21");
  EXPECT_EQ(NormaliseMirnaName("hsa-miR-21*"), "hsa-mir-21*");
}

TEST(NormaliseMirnaName, FewerThanThreePartsIsNoName) {
  EXPECT_FALSE(NormaliseMirnaName("hsa-miR21"));
  EXPECT_FALSE(NormaliseMirnaName(""));
}

}  // namespace
}  // namespace velmora
