#include "stats/enrichment.h"

#include <algorithm>

#include "core/run_failure.h"
#include "core/text.h"
#include "stats/false_discovery.h"

namespace velmora {

NamedSet::NamedSet(std::string text) : line(std::move(text)), fields(Split(line, '\t')) {}

// The views must point into this object's own line.
NamedSet::NamedSet(NamedSet&& other) noexcept : line(std::move(other.line)), fields(Split(line, '\t')) {}

Enrichment::Enrichment(const FactorialTable& factorials, const std::vector<NamedSet>& diseases,
                       std::int32_t universeSize)
    : diseases_(diseases),
      universeSize_(universeSize),
      bonferroniFactor_(static_cast<double>(
          std::count_if(diseases.begin(), diseases.end(), [](const NamedSet& set) { return set.Size() > 0; }))),
      fisher_(factorials) {
  for (std::size_t k = 0; k < diseases.size(); ++k) {
    for (std::size_t i = 1; i < diseases[k].fields.size(); ++i) {
      diseasesOfName_[diseases[k].fields[i]].push_back(static_cast<std::int32_t>(k));
    }
  }
}

std::vector<Table> Enrichment::Tables(const NamedSet& lnc) const {
  std::vector<std::int32_t> shared(diseases_.size(), 0);
  for (std::size_t j = 1; j < lnc.fields.size(); ++j) {
    const auto found = diseasesOfName_.find(lnc.fields[j]);
    if (found == diseasesOfName_.end()) continue;
    for (std::int32_t k : found->second) ++shared[static_cast<std::size_t>(k)];
  }
  std::vector<Table> tables;
  tables.reserve(diseases_.size());
  for (std::size_t k = 0; k < diseases_.size(); ++k) {
    const std::int32_t a = shared[k];
    const std::int32_t b = diseases_[k].Size() - a;
    const std::int32_t c = lnc.Size() - a;
    const Table t{a, b, c, universeSize_ - a - b - c};
    if (t.b < 0 || t.c < 0 || t.d < 0) {
      throw RunFailure("lncRNA " + std::string(lnc.Name()) + " and disease " + std::string(diseases_[k].Name()) +
                       ": the 2x2 table " + std::to_string(t.a) + ", " + std::to_string(t.b) + ", " +
                       std::to_string(t.c) + ", " + std::to_string(t.d) +
                       " has a negative count (a miRNA listed twice, or more than " + std::to_string(universeSize_) +
                       " miRNAs in the two sets)");
    }
    tables.push_back(t);
  }
  return tables;
}

std::vector<Association> Enrichment::Test(const NamedSet& lnc) {
  std::vector<Association> reported;
  const std::vector<Table> tables = Tables(lnc);
  std::vector<double> pValues(tables.size());
  for (std::size_t k = 0; k < tables.size(); ++k) {
    const Table& t = tables[k];
    pValues[k] = fisher_.FisherExactP(t.a, t.b, t.c, t.d);
    if (t.a == 0) continue;
    // Products as 32-bit integers, as the odds ratio is defined.
    const std::int32_t bc = t.b * t.c;
    const double oddsRatio = bc != 0 ? static_cast<double>(t.a * t.d) / bc : -1;
    if (oddsRatio != -1 && oddsRatio < kOddsRatioThreshold) continue;
    if (pValues[k] > kPValueThreshold) continue;
    reported.push_back({k, t, pValues[k], std::min(1.0, pValues[k] * bonferroniFactor_), oddsRatio, 0});
  }
  const std::vector<double> fdr = BenjaminiHochberg(pValues);
  for (Association& found : reported) found.fdr = fdr[found.disease];
  return reported;
}

HeldMirnas::HeldMirnas(const NamedSet& lnc) : names_(lnc.fields.begin() + 1, lnc.fields.end()) {}

std::vector<std::string_view> SharedMirnas(const NamedSet& disease, const HeldMirnas& lnc) {
  std::vector<std::string_view> shared;
  for (std::size_t i = 1; i < disease.fields.size(); ++i) {
    if (lnc.Contains(disease.fields[i])) shared.push_back(disease.fields[i]);
  }
  return shared;
}

}  // namespace velmora
