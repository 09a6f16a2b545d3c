#include "mapping/mirna_name.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(NormaliseMirnaName, KeepsThreePartsLowerCasedOrIsNoName) {
  const std::pair<const char*, std::optional<std::string>> rows[] = {{"hsa-miR-21-5p", "hsa-mir-21"},
                                                                     {"hsa-let-7a-3p", "hsa-let-7a"},
                                                                     {"hsa-mir-7-1", "hsa-mir-7"},
                                                                     {"HSA-MIR-21", "hsa-mir-21"},
                                                                     {"hsa-miR-21*", "hsa-mir-21*"},
                                                                     {"hsa-miR21", std::nullopt},
                                                                     {"", std::nullopt}};
  for (const auto& [identifier, name] : rows) EXPECT_EQ(NormaliseMirnaName(identifier), name) << identifier;
}

}  // namespace
}  // namespace velmora
