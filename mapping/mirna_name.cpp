#include "mapping/mirna_name.h"

#include "core/text.h"

namespace velmora {

std::optional<std::string> NormaliseMirnaName(std::string_view identifier) {
  const auto parts = Split(identifier, '-');
  if (parts.size() < 3) return std::nullopt;
  std::string joined(parts[0]);
  joined += '-';
  joined += parts[1];
  joined += '-';
  joined += parts[2];
  return LowerCase(joined);
}

}  // namespace velmora
