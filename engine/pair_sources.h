#pragma once

#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "mapping/name_numbers.h"

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
  // TAB miRNA, every CR ignored).
  PairSources(const std::filesystem::path& targetScanPairs, const std::filesystem::path& mirandaPairs,
              std::stop_token stop = {});

  // One of the three names above; empty for a pair neither file holds.
  std::string_view FoundBy(std::string_view lnc, std::string_view mirna) const;

 private:
  std::vector<std::uint64_t> ReadPairs(const std::filesystem::path& path, std::stop_token stop);
  bool Holds(const std::vector<std::uint64_t>& pairs, std::uint32_t lnc, std::uint32_t mirna) const;

  std::string every_;
  NameNumbers lncs_, mirnas_;
  std::vector<std::uint64_t> targetScan_, miranda_;  // lncRNA number << 32 | miRNA number, sorted
};

}  // namespace velmora
