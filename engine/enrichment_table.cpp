#include "engine/enrichment_table.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/run_failure.h"
#include "engine/evidence_file.h"
#include "engine/reference_manifest.h"
#include "engine/result_rows.h"
#include "stats/enrichment.h"
#include "stats/number_format.h"

namespace velmora {
namespace {

constexpr std::string_view kHeader = "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n";

std::vector<NamedSet> ReadDiseaseSets(const Session& session, const std::filesystem::path& path, bool stopAtLineFeed,
                                      std::int32_t expected) {
  std::vector<NamedSet> diseases;
  LineSource source(path, stopAtLineFeed, session.stop);
  for (std::string line; source.Next(line);) {
    if (line.empty()) {
      throw RunFailure(path.string() + ": line " + std::to_string(diseases.size() + 1) + " is empty");
    }
    diseases.emplace_back(std::move(line));
  }
  if (diseases.size() != static_cast<std::size_t>(expected)) {
    throw RunFailure(path.string() + ": " + std::to_string(diseases.size()) + " disease lines, " +
                     std::to_string(expected) + " expected");
  }
  for (std::size_t k = 0; k < diseases.size(); ++k) {
    std::unordered_set<std::string_view> seen;
    for (std::size_t i = 1; i < diseases[k].fields.size(); ++i) {
      if (!seen.insert(diseases[k].fields[i]).second) {
        throw RunFailure(path.string() + ": line " + std::to_string(k + 1) + " (" + std::string(diseases[k].Name()) +
                         ") lists the miRNA \"" + std::string(diseases[k].fields[i]) + "\" twice");
      }
    }
  }
  return diseases;
}

// Every non-empty line of the set file, one at a time; the stop request is
// looked at before each lncRNA.
void ForEachLncSet(const Session& session, const std::filesystem::path& path, bool stopAtLineFeed,
                   const std::function<void(const NamedSet&)>& visit) {
  LineSource source(path, stopAtLineFeed, session.stop);
  for (std::string line; source.Next(line);) {
    if (line.empty()) continue;
    session.CheckStop();
    visit(NamedSet(std::move(line)));
  }
}

}  // namespace

EnrichmentSummary WriteEnrichmentTable(Session& session, const std::filesystem::path& diseaseSetPath,
                                       const std::filesystem::path& lncMirSetPath,
                                       const std::filesystem::path& resultPath, bool diseaseStopAtLineFeed,
                                       bool lncStopAtLineFeed, bool bShowRows, const EvidenceOutput* evidence) {
  // The collection is the disease file's folder: its manifest gives the sizes.
  const std::filesystem::path collection = diseaseSetPath.parent_path();
  const CollectionSizes sizes = ReadCollectionSizes(collection);
  if (session.factorials.Last() < sizes.universe) {
    throw RunFailure((collection / "mulnum.txt").string() + ": " + std::to_string(session.factorials.Last()) +
                     " factorials, at least " + std::to_string(sizes.universe) + " expected (the universe size)");
  }
  const std::vector<NamedSet> diseases = ReadDiseaseSets(session, diseaseSetPath, diseaseStopAtLineFeed, sizes.sets);
  Enrichment enrichment(session.factorials, diseases, sizes.universe);
  // A first pass checks every table, so that no row is shown of a run that
  // cannot complete.
  EnrichmentSummary summary;
  ForEachLncSet(session, lncMirSetPath, lncStopAtLineFeed, [&](const NamedSet& lnc) {
    enrichment.Tables(lnc);
    ++summary.lncRNAs;
  });

  OutputFile out(resultPath);
  out.Write(kHeader);
  std::optional<OutputFile> evidenceOut;
  if (evidence) {
    evidenceOut.emplace(evidence->path);
    evidenceOut->Write(kEvidenceHeader);
  }
  std::size_t tested = 0;
  ForEachLncSet(session, lncMirSetPath, lncStopAtLineFeed, [&](const NamedSet& lnc) {
    session.progress.Advance(static_cast<double>(tested++) / static_cast<double>(summary.lncRNAs));
    const std::vector<Association> reported = enrichment.Test(lnc);
    const std::optional<HeldMirnas> held =
        evidenceOut && !reported.empty() ? std::optional(HeldMirnas(lnc)) : std::nullopt;
    summary.associations += reported.size();
    if (!reported.empty()) ++summary.lncRNAsWithResult;
    for (const Association& found : reported) {
      const Table& t = found.table;
      const NamedSet& disease = diseases[found.disease];
      ResultRow row;
      row.cells = {std::string(lnc.Name()),       std::string(disease.Name()),
                   std::to_string(t.a),           std::to_string(t.b),
                   std::to_string(t.c),           std::to_string(t.d),
                   GeneralNumber(found.pValue),   GeneralNumber(found.bonferroni),
                   GeneralNumber(found.oddsRatio)};
      std::string line;
      for (const std::string& cell : row.cells) line += cell + '\t';
      line.back() = '\n';
      if (bShowRows) AddResultRow(session, std::move(row));
      out.Write(line);
      if (evidenceOut) {
        evidenceOut->Write(
            EvidenceLine(lnc.Name(), disease.Name(), SharedMirnas(disease, *held), evidence->sources, found.fdr));
      }
    }
  });
  out.Close();
  if (evidenceOut) evidenceOut->Close();
  return summary;
}

}  // namespace velmora
