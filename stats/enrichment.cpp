#include "stats/enrichment.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "run/line_reader.h"
#include "run/output_file.h"
#include "run/run_failure.h"
#include "run/text.h"
#include "stats/fisher.h"
#include "stats/number_format.h"
#include "stats/result_rows.h"

namespace velmora {
namespace {

constexpr std::string_view kHeader =
    "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n";

// A line split at TAB: field 0 is the name, the rest are miRNA names.
struct NamedSet {
  std::string line;
  std::vector<std::string_view> fields;

  explicit NamedSet(std::string text) : line(std::move(text)), fields(Split(line, '\t')) {}
  NamedSet(NamedSet&& other) noexcept : line(std::move(other.line)), fields(Split(line, '\t')) {}
  std::string_view Name() const { return fields.front(); }
  std::int32_t Size() const { return static_cast<std::int32_t>(fields.size() - 1); }
};

std::vector<NamedSet> ReadDiseaseSets(const std::filesystem::path& path, bool stopAtLineFeed) {
  std::vector<NamedSet> diseases;
  LineSource source(path, stopAtLineFeed);
  for (std::string line; source.Next(line);) {
    if (line.empty()) {
      throw RunFailure(path.string() + ": line " + std::to_string(diseases.size() + 1) + " is empty");
    }
    diseases.emplace_back(std::move(line));
  }
  if (diseases.size() != kDiseaseCount) {
    throw RunFailure(path.string() + ": " + std::to_string(diseases.size()) + " disease lines, " +
                     std::to_string(kDiseaseCount) + " expected");
  }
  for (std::size_t k = 0; k < diseases.size(); ++k) {
    std::unordered_map<std::string_view, int> seen;
    for (std::size_t i = 1; i < diseases[k].fields.size(); ++i) {
      if (++seen[diseases[k].fields[i]] == 2) {
        throw RunFailure(path.string() + ": line " + std::to_string(k + 1) + " (" + std::string(diseases[k].Name()) +
                         ") lists the miRNA \"" + std::string(diseases[k].fields[i]) + "\" twice");
      }
    }
  }
  return diseases;
}

std::vector<NamedSet> ReadLncSets(const std::filesystem::path& path, bool stopAtLineFeed) {
  std::vector<NamedSet> lncs;
  LineSource source(path, stopAtLineFeed);
  for (std::string line; source.Next(line);) {
    if (!line.empty()) lncs.emplace_back(std::move(line));
  }
  return lncs;
}

// The shared counts a of every lncRNA-disease pair, lncRNA-major. a counts
// the pairs of equal names, so a name listed twice counts twice.
std::vector<std::int32_t> CountShared(const std::vector<NamedSet>& lncs, const std::vector<NamedSet>& diseases) {
  std::unordered_map<std::string_view, std::vector<std::int32_t>> diseasesOfName;
  for (std::size_t k = 0; k < diseases.size(); ++k) {
    for (std::size_t i = 1; i < diseases[k].fields.size(); ++i) {
      diseasesOfName[diseases[k].fields[i]].push_back(static_cast<std::int32_t>(k));
    }
  }
  std::vector<std::int32_t> shared(lncs.size() * diseases.size(), 0);
  for (std::size_t l = 0; l < lncs.size(); ++l) {
    std::int32_t* row = &shared[l * diseases.size()];
    for (std::size_t j = 1; j < lncs[l].fields.size(); ++j) {
      const auto found = diseasesOfName.find(lncs[l].fields[j]);
      if (found == diseasesOfName.end()) continue;
      for (std::int32_t k : found->second) ++row[k];
    }
  }
  return shared;
}

struct Table {
  std::int32_t a, b, c, d;
};

Table TableOf(std::int32_t a, const NamedSet& lnc, const NamedSet& disease) {
  const std::int32_t b = disease.Size() - a;
  const std::int32_t c = lnc.Size() - a;
  return {a, b, c, kUniverseSize - a - b - c};
}

void CheckCounts(const std::vector<std::int32_t>& shared, const std::vector<NamedSet>& lncs,
                 const std::vector<NamedSet>& diseases) {
  for (std::size_t l = 0; l < lncs.size(); ++l) {
    for (std::size_t k = 0; k < diseases.size(); ++k) {
      const Table t = TableOf(shared[l * diseases.size() + k], lncs[l], diseases[k]);
      if (t.b < 0 || t.c < 0 || t.d < 0) {
        throw RunFailure("lncRNA " + std::string(lncs[l].Name()) + " and disease " + std::string(diseases[k].Name()) +
                         ": the 2x2 table " + std::to_string(t.a) + ", " + std::to_string(t.b) + ", " +
                         std::to_string(t.c) + ", " + std::to_string(t.d) +
                         " has a negative count (a miRNA listed twice, or more than " +
                         std::to_string(kUniverseSize) + " miRNAs in the two sets)");
      }
    }
  }
}

}  // namespace

void WriteEnrichmentTable(Session& session, const std::filesystem::path& diseaseSetPath,
                          const std::filesystem::path& lncMirSetPath, const std::filesystem::path& resultPath,
                          bool diseaseStopAtLineFeed, bool lncStopAtLineFeed, bool bShowRows) {
  const std::vector<NamedSet> diseases = ReadDiseaseSets(diseaseSetPath, diseaseStopAtLineFeed);
  const std::vector<NamedSet> lncs = ReadLncSets(lncMirSetPath, lncStopAtLineFeed);
  const std::vector<std::int32_t> shared = CountShared(lncs, diseases);
  CheckCounts(shared, lncs, diseases);

  FisherCache fisher(session.factorials);
  OutputFile out(resultPath);
  out.Write(kHeader);
  for (std::size_t l = 0; l < lncs.size(); ++l) {
    session.frontend.ShowProgress("Testing lncRNA " + std::to_string(l + 1) + " of " + std::to_string(lncs.size()));
    for (std::size_t k = 0; k < diseases.size(); ++k) {
      const Table t = TableOf(shared[l * diseases.size() + k], lncs[l], diseases[k]);
      if (t.a == 0) continue;
      // Products as 32-bit integers, as the odds ratio is defined.
      const std::int32_t bc = t.b * t.c;
      const double oddsRatio = bc != 0 ? static_cast<double>(t.a * t.d) / bc : -1;
      if (oddsRatio != -1 && oddsRatio < kOddsRatioThreshold) continue;
      const double p = fisher.FisherExactP(t.a, t.b, t.c, t.d);
      if (p > kPValueThreshold) continue;
      const double bonferroni = std::min(1.0, p * kDiseaseCount);

      ResultRow row;
      row.cells = {std::string(lncs[l].Name()), std::string(diseases[k].Name()), std::to_string(t.a),
                   std::to_string(t.b), std::to_string(t.c), std::to_string(t.d),
                   GeneralNumber(p), GeneralNumber(bonferroni), GeneralNumber(oddsRatio)};
      std::string line;
      for (const std::string& cell : row.cells) line += cell + '\t';
      line.back() = '\n';
      if (bShowRows) AddResultRow(session, std::move(row));
      out.Write(line);
    }
  }
  out.Close();
}

}  // namespace velmora
