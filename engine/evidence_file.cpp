#include "engine/evidence_file.h"

#include "core/line_reader.h"
#include "core/text.h"
#include "stats/number_format.h"

namespace velmora {
namespace {

std::vector<std::string> CommaList(std::string_view field) {
  std::vector<std::string> items;
  if (field.empty()) return items;
  for (std::string_view item : Split(field, ',')) items.emplace_back(item);
  return items;
}

}  // namespace

std::string EvidenceLine(std::string_view lnc, std::string_view disease, const std::vector<std::string_view>& mirnas,
                         const PairSources& sources, double fdr) {
  std::string names, foundBy;
  for (std::string_view mirna : mirnas) {
    const char* separator = names.empty() ? "" : ",";
    names.append(separator).append(mirna);
    foundBy.append(separator).append(sources.FoundBy(lnc, mirna));
  }
  std::string line(lnc);
  line.append("\t").append(disease).append("\t").append(names).append("\t").append(foundBy);
  return line + "\t" + GeneralNumber(fdr) + "\n";
}

std::vector<Evidence> ReadEvidenceFile(const std::filesystem::path& path) {
  LineFile lines(path);
  std::vector<Evidence> rows;
  std::string line;
  lines.ReadLine(true, line);  // the header
  while (lines.ReadLine(true, line)) {
    const std::vector<std::string_view> fields = Split(line, '\t');
    if (fields.size() < 5) continue;
    rows.push_back({std::string(fields[0]), std::string(fields[1]), CommaList(fields[2]), CommaList(fields[3]),
                    std::string(fields[4])});
  }
  return rows;
}

}  // namespace velmora
