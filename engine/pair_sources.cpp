#include "engine/pair_sources.h"

#include <algorithm>

#include "core/line_reader.h"

namespace velmora {
namespace {

std::uint64_t Key(std::uint32_t lnc, std::uint32_t mirna) { return std::uint64_t{lnc} << 32 | mirna; }

}  // namespace

// A line without TAB names no pair: no lookup could match it. Every CR goes,
// as the grouping drops them, so that a pair is found by the same names the
// result lines carry.
std::vector<std::uint64_t> PairSources::ReadPairs(const std::filesystem::path& path, std::stop_token stop) {
  std::vector<std::uint64_t> pairs;
  LineSource source(path, true, stop);
  for (std::string line; source.Next(line);) {
    std::erase(line, '\r');
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::string_view text(line);
    pairs.push_back(Key(lncs_.Add(text.substr(0, tab)), mirnas_.Add(text.substr(tab + 1))));
  }
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  pairs.shrink_to_fit();
  return pairs;
}

PairSources::PairSources(const std::filesystem::path& targetScanPairs, const std::filesystem::path& mirandaPairs,
                         std::stop_token stop)
    : targetScan_(ReadPairs(targetScanPairs, stop)), miranda_(ReadPairs(mirandaPairs, stop)) {}

bool PairSources::Holds(const std::vector<std::uint64_t>& pairs, std::uint32_t lnc, std::uint32_t mirna) const {
  return std::binary_search(pairs.begin(), pairs.end(), Key(lnc, mirna));
}

std::string_view PairSources::FoundBy(std::string_view lnc, std::string_view mirna) const {
  if (!every_.empty()) return every_;
  const std::uint32_t lncNumber = lncs_.Find(lnc), mirnaNumber = mirnas_.Find(mirna);
  if (lncNumber == NameNumbers::kUnknown || mirnaNumber == NameNumbers::kUnknown) return {};
  const bool bySiteFinder = Holds(targetScan_, lncNumber, mirnaNumber);
  const bool byScanner = Holds(miranda_, lncNumber, mirnaNumber);
  if (bySiteFinder && byScanner) return kBoth;
  if (bySiteFinder) return kTargetScan;
  if (byScanner) return kMiranda;
  return {};
}

}  // namespace velmora
