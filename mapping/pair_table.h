#pragma once

// Gathers pair files into one entry per lncRNA identifier holding its
// distinct miRNA names, both in order of first appearance, and writes the
// grouped pair file (identifier TAB name CR LF).

#include <filesystem>
#include <stop_token>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace velmora {

class PairTable {
 public:
  // Adds a pair unless the entry already holds the name.
  void Add(const std::string& identifier, const std::string& name);

  // Marks the first stored name of the entry that equals `name` once its "*"
  // characters are removed; a pair the table does not hold changes nothing.
  void Confirm(const std::string& identifier, const std::string& name);

  // Every pair, or only the confirmed names (each up to its first "*").
  void Write(const std::filesystem::path& path, bool confirmedOnly) const;

 private:
  struct Entry {
    std::string identifier;
    std::vector<std::string> names;
    std::unordered_set<std::string> held;
    std::unordered_map<std::string, std::size_t> firstUnmarked;  // name without "*" -> first index
  };
  Entry& EntryFor(const std::string& identifier);

  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::size_t> index_;
};

void GroupPairs(const std::filesystem::path& pairFile, const std::filesystem::path& output, std::stop_token stop = {});
void MergePairsUnion(const std::filesystem::path& first, const std::filesystem::path& second,
                     const std::filesystem::path& output, std::stop_token stop = {});
void MergePairsIntersection(const std::filesystem::path& first, const std::filesystem::path& second,
                            const std::filesystem::path& output, std::stop_token stop = {});

}  // namespace velmora
