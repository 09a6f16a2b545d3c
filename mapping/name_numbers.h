#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

// Names as numbers 0, 1, 2, ... in order of first appearance, so that a
// table of pairs takes a few bytes a pair however many pairs a run has.
class NameNumbers {
 public:
  inline static constexpr std::uint32_t kUnknown = 0xffffffff;

  // The name's number, a new one for a name not seen before.
  std::uint32_t Add(std::string_view name);
  // The name's number, or kUnknown.
  std::uint32_t Find(std::string_view name) const;
  const std::string& Name(std::uint32_t number) const { return names_[number]; }
  std::uint32_t Count() const { return static_cast<std::uint32_t>(names_.size()); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> numbers_;
  std::vector<std::string> names_;  // by number
};

}  // namespace velmora
