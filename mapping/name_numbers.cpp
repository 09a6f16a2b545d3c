#include "mapping/name_numbers.h"

namespace velmora {

std::uint32_t NameNumbers::Add(std::string_view name) {
  // Looked up as a view first: most names are seen before, and a key string costs an allocation.
  const std::uint32_t known = Find(name);
  if (known != kUnknown) return known;
  numbers_.emplace(std::string(name), Count());
  names_.emplace_back(name);
  return Count() - 1;
}

std::uint32_t NameNumbers::Find(std::string_view name) const {
  const auto found = numbers_.find(name);
  return found == numbers_.end() ? kUnknown : found->second;
}

}  // namespace velmora
