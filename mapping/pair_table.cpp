#include "mapping/pair_table.h"

#include <algorithm>
#include <functional>

#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/text.h"

namespace velmora {
namespace {

std::string WithoutMarks(const std::string& name) {
  std::string stripped = name;
  std::erase(stripped, '*');
  return stripped;
}

// Pair lines lose every CR and LF (so LF and CR LF files read alike) and
// are split at TAB; a line without TAB is skipped.
void ReadPairs(const std::filesystem::path& pairFile, const std::stop_token& stop,
               const std::function<void(const std::string&, const std::string&)>& visit) {
  LineSource source(pairFile, true, stop);
  for (std::string line; source.Next(line);) {
    std::erase(line, '\r');
    std::erase(line, '\n');
    const auto fields = Split(line, '\t');
    if (fields.size() < 2) continue;
    visit(std::string(fields[0]), std::string(fields[1]));
  }
}

}  // namespace

PairTable::Entry& PairTable::EntryFor(const std::string& identifier) {
  const auto [found, added] = index_.try_emplace(identifier, entries_.size());
  if (added) entries_.push_back(Entry{identifier, {}, {}, {}});
  return entries_[found->second];
}

std::uint32_t PairTable::Number(const std::string& name) {
  const auto found = numbers_.find(name);
  if (found != numbers_.end()) return found->second;
  const auto number = static_cast<std::uint32_t>(names_.size());
  numbers_.emplace(name, number);
  names_.push_back(name);
  unmarked_.push_back(number);
  const std::string stripped = WithoutMarks(name);
  if (stripped != name) {
    const std::uint32_t unmarked = Number(stripped);  // may grow unmarked_
    unmarked_[number] = unmarked;
  }
  return number;
}

void PairTable::Add(const std::string& identifier, const std::string& name) {
  Entry& entry = EntryFor(identifier);
  const std::uint32_t number = Number(name);
  const auto at = std::lower_bound(entry.sorted.begin(), entry.sorted.end(), number);
  if (at != entry.sorted.end() && *at == number) return;
  entry.sorted.insert(at, number);
  entry.names.push_back(number);
  entry.firstUnmarked.clear();
}

void PairTable::Confirm(const std::string& identifier, const std::string& name) {
  const auto found = index_.find(identifier);
  const auto number = numbers_.find(name);
  if (found == index_.end() || number == numbers_.end()) return;
  Entry& entry = entries_[found->second];
  if (entry.firstUnmarked.empty()) {
    for (std::uint32_t k = 0; k < entry.names.size(); ++k) {
      entry.firstUnmarked.emplace_back(unmarked_[entry.names[k] & ~kConfirmed], k);
    }
    std::sort(entry.firstUnmarked.begin(), entry.firstUnmarked.end());
    const auto sameName = [](const auto& x, const auto& y) { return x.first == y.first; };
    entry.firstUnmarked.erase(std::unique(entry.firstUnmarked.begin(), entry.firstUnmarked.end(), sameName),
                              entry.firstUnmarked.end());
  }
  const auto match = std::lower_bound(entry.firstUnmarked.begin(), entry.firstUnmarked.end(),
                                      std::pair{number->second, std::uint32_t{0}});
  if (match != entry.firstUnmarked.end() && match->first == number->second) {
    entry.names[match->second] |= kConfirmed;
  }
}

// A confirmed name is written with a "*" added, so that it counts as marked.
void PairTable::Write(const std::filesystem::path& path, bool confirmedOnly) const {
  OutputFile out(path);
  for (const Entry& entry : entries_) {
    for (const std::uint32_t number : entry.names) {
      std::string name = names_[number & ~kConfirmed];
      if (number & kConfirmed) name += '*';
      const std::size_t mark = name.find('*');
      if (confirmedOnly && mark == std::string::npos) continue;
      out.Write(entry.identifier + '\t' + (confirmedOnly ? name.substr(0, mark) : name) + "\r\n");
    }
  }
  out.Close();
}

void GroupPairs(const std::filesystem::path& pairFile, const std::filesystem::path& output, std::stop_token stop) {
  PairTable table;
  ReadPairs(pairFile, stop, [&](const std::string& id, const std::string& name) { table.Add(id, name); });
  table.Write(output, false);
}

void MergePairsUnion(const std::filesystem::path& first, const std::filesystem::path& second,
                     const std::filesystem::path& output, std::stop_token stop) {
  PairTable table;
  const auto add = [&](const std::string& id, const std::string& name) { table.Add(id, name); };
  ReadPairs(first, stop, add);
  ReadPairs(second, stop, add);
  table.Write(output, false);
}

void MergePairsIntersection(const std::filesystem::path& first, const std::filesystem::path& second,
                            const std::filesystem::path& output, std::stop_token stop) {
  PairTable table;
  ReadPairs(first, stop, [&](const std::string& id, const std::string& name) { table.Add(id, name); });
  ReadPairs(second, stop, [&](const std::string& id, const std::string& name) { table.Confirm(id, name); });
  table.Write(output, true);
}

}  // namespace velmora
