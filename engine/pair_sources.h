#pragma once

#include <filesystem>
#include <stop_token>
#include <string>
#include <string_view>
#include <unordered_set>

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
  std::string every_;
  std::unordered_set<std::string> targetScan_, miranda_;  // "identifier TAB miRNA"
};

}  // namespace velmora
