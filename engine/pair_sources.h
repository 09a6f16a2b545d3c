#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

// Which predictor found each lncRNA-miRNA pair of a run: the one predictor
// of a single-predictor option, both for the intersection, and for the union
// whichever pair files hold the pair.
class PairSources {
 public:
  inline static constexpr std::string_view kTargetScan = "TargetScan";
  inline static constexpr std::string_view kMiranda = "miRanda";
  inline static constexpr std::string_view kBoth = "both";

  // Every pair found the same way.
  explicit PairSources(std::string_view every) : every_(every) {}
  // The pairs of the site finder's and the scanner's pair files (identifier
  // TAB miRNA, a CR before the line end ignored).
  PairSources(const std::filesystem::path& targetScanPairs, const std::filesystem::path& mirandaPairs,
              std::stop_token stop = {});

  // One of the three names above; empty for a pair neither file holds.
  std::string_view FoundBy(std::string_view lnc, std::string_view mirna) const;

 private:
  // Names as numbers, so that a pair takes eight bytes however many pairs
  // a run of a whole annotation has.
  class Numbers {
   public:
    std::uint32_t Add(std::string_view name);
    // The number of a name, or kUnknown.
    std::uint32_t Find(std::string_view name) const;
    inline static constexpr std::uint32_t kUnknown = 0xffffffff;

   private:
    struct Hash {
      using is_transparent = void;
      std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> numbers_;
  };
  std::vector<std::uint64_t> ReadPairs(const std::filesystem::path& path, std::stop_token stop);
  bool Holds(const std::vector<std::uint64_t>& pairs, std::uint32_t lnc, std::uint32_t mirna) const;

  std::string every_;
  Numbers lncs_, mirnas_;
  std::vector<std::uint64_t> targetScan_, miranda_;  // lncRNA number << 32 | miRNA number, sorted
};

}  // namespace velmora
