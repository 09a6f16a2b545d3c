#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The normalised miRNA name: split at "-", the first three parts joined
// again with "-", lower-cased (hsa-miR-21-5p -> hsa-mir-21). Nothing when
// the identifier has fewer than three parts.
std::optional<std::string> NormaliseMirnaName(std::string_view identifier);

}  // namespace velmora
