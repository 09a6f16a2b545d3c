#include "mapping/pair_table.h"

#include <algorithm>
#include <functional>

#include "core/line_reader.h"
#include "core/output_file.h"

namespace velmora {
namespace {

std::string WithoutMarks(std::string_view name) {
  std::string stripped(name);
  std::erase(stripped, '*');
  return stripped;
}

// Pair lines lose every CR and LF (so LF and CR LF files read alike) and
// are split at TAB; a line without TAB is skipped.
void ReadPairs(const std::filesystem::path& pairFile, const std::stop_token& stop,
               const std::function<void(std::string_view, std::string_view)>& visit) {
  LineSource source(pairFile, true, stop);
  for (std::string line; source.Next(line);) {
    std::erase(line, '\r');
    std::erase(line, '\n');
    const std::string_view text(line);
    const std::size_t tab = text.find('\t');
    if (tab == std::string_view::npos) continue;
    const std::string_view name = text.substr(tab + 1);
    visit(text.substr(0, tab), name.substr(0, name.find('\t')));
  }
}

}  // namespace

std::uint32_t PairTable::Number(std::string_view name) {
  const std::uint32_t number = names_.Add(name);
  if (number < unmarked_.size()) return number;  // seen before
  unmarked_.push_back(number);
  const std::string stripped = WithoutMarks(name);
  if (stripped != name) {
    const std::uint32_t unmarked = Number(stripped);  // may grow unmarked_
    unmarked_[number] = unmarked;
  }
  return number;
}

void PairTable::Add(std::string_view identifier, std::string_view name) {
  const std::uint32_t entryNumber = identifiers_.Add(identifier);
  if (entryNumber == entries_.size()) entries_.emplace_back();
  Entry& entry = entries_[entryNumber];
  const std::uint32_t number = Number(name);
  const auto at = std::lower_bound(entry.sorted.begin(), entry.sorted.end(), number);
  if (at != entry.sorted.end() && *at == number) return;
  entry.sorted.insert(at, number);
  entry.names.push_back(number);
  entry.firstUnmarked.clear();
}

void PairTable::Confirm(std::string_view identifier, std::string_view name) {
  const std::uint32_t entryNumber = identifiers_.Find(identifier), number = names_.Find(name);
  if (entryNumber == NameNumbers::kUnknown || number == NameNumbers::kUnknown) return;
  Entry& entry = entries_[entryNumber];
  if (entry.firstUnmarked.empty()) {
    for (std::uint32_t k = 0; k < entry.names.size(); ++k) {
      entry.firstUnmarked.emplace_back(unmarked_[entry.names[k] & ~kConfirmed], k);
    }
    std::sort(entry.firstUnmarked.begin(), entry.firstUnmarked.end());
    const auto sameName = [](const auto& x, const auto& y) { return x.first == y.first; };
    entry.firstUnmarked.erase(std::unique(entry.firstUnmarked.begin(), entry.firstUnmarked.end(), sameName),
                              entry.firstUnmarked.end());
  }
  const auto match =
      std::lower_bound(entry.firstUnmarked.begin(), entry.firstUnmarked.end(), std::pair{number, std::uint32_t{0}});
  if (match != entry.firstUnmarked.end() && match->first == number) {
    entry.names[match->second] |= kConfirmed;
  }
}

// A confirmed name counts as marked, as if a "*" had been added to it.
void PairTable::Write(const std::filesystem::path& path, bool confirmedOnly) const {
  OutputFile out(path);
  for (std::uint32_t k = 0; k < entries_.size(); ++k) {
    const std::string& identifier = identifiers_.Name(k);
    for (const std::uint32_t number : entries_[k].names) {
      const std::string_view name = names_.Name(number & ~kConfirmed);
      const bool confirmed = (number & kConfirmed) != 0;
      const std::size_t mark = name.find('*');
      if (confirmedOnly && !confirmed && mark == std::string_view::npos) continue;
      out.Write(identifier);
      out.Write("\t");
      out.Write(confirmedOnly ? name.substr(0, mark) : name);
      out.Write(!confirmedOnly && confirmed ? "*\r\n" : "\r\n");
    }
  }
  out.Close();
}

void GroupPairs(const std::filesystem::path& pairFile, const std::filesystem::path& output, std::stop_token stop) {
  PairTable table;
  ReadPairs(pairFile, stop, [&](std::string_view id, std::string_view name) { table.Add(id, name); });
  table.Write(output, false);
}

void MergePairsUnion(const std::filesystem::path& first, const std::filesystem::path& second,
                     const std::filesystem::path& output, std::stop_token stop) {
  PairTable table;
  const auto add = [&](std::string_view id, std::string_view name) { table.Add(id, name); };
  ReadPairs(first, stop, add);
  ReadPairs(second, stop, add);
  table.Write(output, false);
}

void MergePairsIntersection(const std::filesystem::path& first, const std::filesystem::path& second,
                            const std::filesystem::path& output, std::stop_token stop) {
  PairTable table;
  ReadPairs(first, stop, [&](std::string_view id, std::string_view name) { table.Add(id, name); });
  ReadPairs(second, stop, [&](std::string_view id, std::string_view name) { table.Confirm(id, name); });
  table.Write(output, true);
}

}  // namespace velmora
