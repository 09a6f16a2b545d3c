#include "engine/pair_sources.h"

#include "core/line_reader.h"

namespace velmora {
namespace {

std::unordered_set<std::string> ReadPairs(const std::filesystem::path& path, std::stop_token stop) {
  std::unordered_set<std::string> pairs;
  LineSource source(path, true, stop);
  for (std::string line; source.Next(line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) pairs.insert(std::move(line));
  }
  return pairs;
}

}  // namespace

PairSources::PairSources(const std::filesystem::path& targetScanPairs, const std::filesystem::path& mirandaPairs,
                         std::stop_token stop)
    : targetScan_(ReadPairs(targetScanPairs, stop)), miranda_(ReadPairs(mirandaPairs, stop)) {}

std::string_view PairSources::FoundBy(std::string_view lnc, std::string_view mirna) const {
  if (!every_.empty()) return every_;
  std::string pair(lnc);
  pair += '\t';
  pair += mirna;
  const bool bySiteFinder = targetScan_.contains(pair);
  const bool byScanner = miranda_.contains(pair);
  if (bySiteFinder && byScanner) return kBoth;
  if (bySiteFinder) return kTargetScan;
  if (byScanner) return kMiranda;
  return {};
}

}  // namespace velmora
