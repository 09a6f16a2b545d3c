#include "tools/reference_data.h"

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <unordered_set>

#include "core/byte_stream.h"
#include "core/fasta_records.h"
#include "core/line_reader.h"
#include "core/text.h"
#include "mapping/mirna_name.h"

namespace velmora::refdata {
namespace {

// Names ranked by their number of partners (most first), ties by name.
std::vector<std::string> TopByCount(const std::map<std::string, std::size_t>& counts, std::size_t count) {
  std::vector<std::pair<std::string, std::size_t>> ranked(counts.begin(), counts.end());
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& x, const auto& y) { return x.second > y.second; });
  std::vector<std::string> names;
  for (std::size_t i = 0; i < ranked.size() && i < count; ++i) names.push_back(ranked[i].first);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::set<std::pair<std::string, std::string>> ReadAssociations(const std::string& text, const std::string& fileName,
                                                               int& skipped) {
  std::set<std::pair<std::string, std::string>> pairs;
  skipped = 0;
  int lineNumber = 0;
  LineFile lines(std::make_unique<MemoryStream>(text));
  for (std::string line; lines.ReadLine(true, line);) {
    ++lineNumber;
    if (line.ends_with('\r')) line.pop_back();
    const auto fields = Split(line, '\t');
    if (fields.size() < 3) {
      throw std::runtime_error(fileName + ": line " + std::to_string(lineNumber) +
                               " has fewer than 3 tab-separated fields");
    }
    const auto mirna = NormaliseMirnaName(fields[1]);
    if (!mirna) {
      ++skipped;
      continue;
    }
    pairs.emplace(std::string(TrimSpaces(fields[2])), *mirna);
  }
  return pairs;
}

std::vector<std::string> SelectUniverse(const std::set<std::pair<std::string, std::string>>& pairs, std::size_t count) {
  std::map<std::string, std::size_t> diseases;
  for (const auto& [disease, mirna] : pairs) ++diseases[mirna];
  return TopByCount(diseases, count);
}

std::vector<DiseaseSet> SelectDiseases(const std::set<std::pair<std::string, std::string>>& pairs,
                                       const std::vector<std::string>& universe, std::size_t count) {
  const std::unordered_set<std::string> inUniverse(universe.begin(), universe.end());
  std::map<std::string, std::vector<std::string>> mirnasOf;  // pairs are sorted, so each list is too
  for (const auto& [disease, mirna] : pairs) {
    if (inUniverse.contains(mirna)) mirnasOf[disease].push_back(mirna);
  }
  std::map<std::string, std::size_t> counts;
  for (const auto& [disease, mirnas] : mirnasOf) counts[disease] = mirnas.size();
  std::vector<DiseaseSet> diseases;
  for (const std::string& name : TopByCount(counts, count)) diseases.push_back({name, mirnasOf[name]});
  return diseases;
}

std::vector<Mature> ReadMatures(const std::string& fasta) {
  class Matures final : public FastaRecordSink {
   public:
    void Header(std::string_view text, std::int64_t /*line*/) override { all.push_back({std::string(text), {}}); }
    void SequencePiece(std::string_view bytes, std::int64_t /*line*/, std::size_t /*column*/) override {
      if (!all.empty()) all.back().sequence += bytes;
    }
    std::vector<Mature> all;
  } matures;
  MemoryStream stream(fasta);
  ReadFastaRecords(stream, matures);
  return std::move(matures.all);
}

std::vector<Mature> KeepUniverse(const std::vector<Mature>& matures, const std::vector<std::string>& universe) {
  const std::unordered_set<std::string> inUniverse(universe.begin(), universe.end());
  std::vector<Mature> kept;
  for (const Mature& mature : matures) {
    const auto name = NormaliseMirnaName(mature.header.substr(0, mature.header.find_first_of(" \t")));
    if (name && inUniverse.contains(*name)) kept.push_back(mature);
  }
  return kept;
}

std::string ReferenceListFile(const std::vector<std::string>& universe) {
  std::string file;
  for (const std::string& name : universe) file += name + "\r\n";
  return file;
}

std::string DiseaseSetFile(const std::vector<DiseaseSet>& diseases) {
  std::string file;
  for (const DiseaseSet& disease : diseases) {
    file += disease.name;
    for (const std::string& mirna : disease.mirnas) file += "\t" + mirna;
    file += "\n";
  }
  return file;
}

std::string ScannerMirnaFile(const std::vector<Mature>& matures) {
  std::string file;
  for (const Mature& mature : matures) file += ">" + mature.header + "\n" + mature.sequence + "\n";
  return file;
}

std::string SeedFamilyFile(const std::vector<Mature>& matures) {
  std::string file;
  for (const Mature& mature : matures) {
    const std::string id = mature.header.substr(0, mature.header.find_first_of(" \t"));
    if (mature.sequence.size() < 8) throw std::runtime_error(id + ": sequence shorter than 8 nucleotides");
    std::string seed = mature.sequence.substr(1, 7);
    std::replace(seed.begin(), seed.end(), 'T', 'U');
    file += ">" + id + "\t" + seed + "\t9606\n";
  }
  return file;
}

}  // namespace velmora::refdata
