#pragma once

// The enrichment of one lncRNA's miRNA set against every disease's, as a
// function: sets in, reported associations out.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "stats/factorial_table.h"
#include "stats/fisher.h"

namespace velmora {

// The shipped collection's sizes, built from HMDD v2.0 (a collection brings
// its own: see reference_manifest.h).
inline constexpr int kDiseaseCount = 372;
inline constexpr int kUniverseSize = 494;
inline constexpr double kPValueThreshold = 0.05;
inline constexpr double kOddsRatioThreshold = 2;

// A line split at TAB: field 0 names the lncRNA or disease, the rest are its
// miRNAs (a line without TAB has none).
struct NamedSet {
  std::string line;
  std::vector<std::string_view> fields;

  explicit NamedSet(std::string text);
  NamedSet(NamedSet&& other) noexcept;
  NamedSet(const NamedSet&) = delete;
  NamedSet& operator=(const NamedSet&) = delete;
  NamedSet& operator=(NamedSet&&) = delete;
  std::string_view Name() const { return fields.front(); }
  std::int32_t Size() const { return static_cast<std::int32_t>(fields.size() - 1); }
};

struct Table {
  std::int32_t a, b, c, d;
};

struct Association {
  std::size_t disease;  // index into the disease sets
  Table table;
  double pValue, bonferroni, oddsRatio;  // oddsRatio -1 when b * c = 0
  double fdr;                            // Benjamini-Hochberg over the lncRNA's tests against every disease
};

// The miRNA names of an lncRNA set, looked up for each disease it is
// reported with.
class HeldMirnas {
 public:
  explicit HeldMirnas(const NamedSet& lnc);
  bool Contains(std::string_view name) const { return names_.contains(name); }

 private:
  std::unordered_set<std::string_view> names_;
};

// The miRNAs of the disease set that the lncRNA set holds too, in the
// disease's order: the names that make up a.
std::vector<std::string_view> SharedMirnas(const NamedSet& disease, const HeldMirnas& lnc);

class Enrichment {
 public:
  // The disease sets stay the caller's; they must outlive this object. Every
  // table totals `universeSize`; the Bonferroni factor is the number of
  // disease sets that hold a miRNA.
  Enrichment(const FactorialTable& factorials, const std::vector<NamedSet>& diseases, std::int32_t universeSize);

  // The 2x2 table of the lncRNA with every disease, in disease order. a
  // counts the pairs of equal names, so a name listed twice counts twice; a
  // table with a negative count throws RunFailure naming both sets.
  std::vector<Table> Tables(const NamedSet& lnc) const;

  // The reported associations of one lncRNA (a > 0, odds ratio >= 2 or
  // undefined, P <= 0.05), in disease order. The false discovery rate of
  // each takes the P-values of all the lncRNA's tables, a = 0 included.
  std::vector<Association> Test(const NamedSet& lnc);

 private:
  const std::vector<NamedSet>& diseases_;
  std::int32_t universeSize_;
  double bonferroniFactor_;
  std::unordered_map<std::string_view, std::vector<std::int32_t>> diseasesOfName_;
  FisherCache fisher_;
};

}  // namespace velmora
