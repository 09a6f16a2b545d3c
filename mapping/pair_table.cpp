#include "mapping/pair_table.h"

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

void PairTable::Add(const std::string& identifier, const std::string& name) {
  Entry& entry = EntryFor(identifier);
  if (!entry.held.insert(name).second) return;
  entry.firstUnmarked.try_emplace(WithoutMarks(name), entry.names.size());
  entry.names.push_back(name);
}

void PairTable::Confirm(const std::string& identifier, const std::string& name) {
  const auto found = index_.find(identifier);
  if (found == index_.end()) return;
  Entry& entry = entries_[found->second];
  const auto match = entry.firstUnmarked.find(name);
  if (match != entry.firstUnmarked.end()) entry.names[match->second] += '*';
}

void PairTable::Write(const std::filesystem::path& path, bool confirmedOnly) const {
  OutputFile out(path);
  for (const Entry& entry : entries_) {
    for (const std::string& name : entry.names) {
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
