#include "mapping/name_numbers.h"

namespace velmora {

std::uint32_t NameNumbers::Add(std::string_view name) {
  const auto [found, added] = numbers_.try_emplace(std::string(name), Count());
  if (added) names_.emplace_back(name);
  return found->second;
}

std::uint32_t NameNumbers::Find(std::string_view name) const {
  const auto found = numbers_.find(name);
  return found == numbers_.end() ? kUnknown : found->second;
}

}  // namespace velmora
