#include "chart/chart_data.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <numeric>

#include "core/line_reader.h"
#include "core/run_failure.h"
#include "core/text.h"

namespace velmora {

std::vector<ResultPoint> ReadResultPoints(const std::filesystem::path& resultFile) {
  LineFile lines(resultFile);
  std::vector<ResultPoint> points;
  std::size_t number = 0;
  for (std::string line; lines.ReadLine(true, line);) {
    if (++number <= 2) continue;  // the header and the empty line
    const std::vector<std::string_view> fields = Split(line, '\t');
    ResultPoint point;
    const bool numbers =
        fields.size() == 9 &&
        std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(), point.a).ec == std::errc() &&
        std::from_chars(fields[6].data(), fields[6].data() + fields[6].size(), point.p).ec == std::errc();
    if (!numbers) {
      throw RunFailure(resultFile.string() + ": line " + std::to_string(number) +
                       " is not an association line (nine TAB-separated fields)");
    }
    // A hand-edited file must not draw as a result: a reported association
    // shares at least one miRNA, and its P-value is a probability.
    if (point.a < 1 || !(point.p >= 0 && point.p <= 1)) {
      throw RunFailure(resultFile.string() + ": line " + std::to_string(number) + ": a = " + std::string(fields[2]) +
                       ", P-value = " + std::string(fields[6]) +
                       " (an association shares at least one miRNA, and its P-value lies between 0 and 1)");
    }
    point.lnc = fields[0];
    point.disease = fields[1];
    points.push_back(std::move(point));
  }
  return points;
}

ChartData TopDiseases(const std::vector<ResultPoint>& points, int top) {
  std::vector<std::string> diseases;
  std::map<std::string, double> smallest;
  for (const ResultPoint& point : points) {
    const auto [at, added] = smallest.try_emplace(point.disease, point.p);
    if (added) diseases.push_back(point.disease);
    at->second = std::min(at->second, point.p);
  }
  std::stable_sort(diseases.begin(), diseases.end(),
                   [&](const std::string& x, const std::string& y) { return smallest[x] < smallest[y]; });
  if (diseases.size() > static_cast<std::size_t>(std::max(top, 0))) diseases.resize(static_cast<std::size_t>(top));

  ChartData data;
  data.diseases = diseases;
  std::map<std::string, std::size_t> row, column;
  for (std::size_t k = 0; k < diseases.size(); ++k) row[diseases[k]] = k;
  for (const ResultPoint& point : points) {
    const auto found = row.find(point.disease);
    if (found == row.end()) continue;
    const std::string name = point.lnc.starts_with('>') ? point.lnc.substr(1) : point.lnc;
    const auto [at, added] = column.try_emplace(name, data.lncs.size());
    if (added) data.lncs.push_back(name);
    data.dots.push_back({found->second, at->second, point.a, point.p});
  }
  return data;
}

}  // namespace velmora
