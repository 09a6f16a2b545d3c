#pragma once

// Gathers pair files into one entry per lncRNA identifier holding its
// distinct miRNA names, both in order of first appearance, and writes the
// grouped pair file (identifier TAB name CR LF).

#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mapping/name_numbers.h"

namespace velmora {

class PairTable {
 public:
  // Adds a pair unless the entry already holds the name.
  void Add(std::string_view identifier, std::string_view name);

  // Marks the first stored name of the entry that equals `name` once its "*"
  // characters are removed; a pair the table does not hold changes nothing.
  void Confirm(std::string_view identifier, std::string_view name);

  // Every pair, or only the confirmed names (each up to its first "*").
  void Write(const std::filesystem::path& path, bool confirmedOnly) const;

 private:
  // Names are kept as numbers: a pair takes a few bytes, however many pairs
  // the run of a whole annotation has.
  static constexpr std::uint32_t kConfirmed = 1u << 31;  // marks a stored name number
  struct Entry {
    std::vector<std::uint32_t> names;   // in order of first appearance, kConfirmed added once confirmed
    std::vector<std::uint32_t> sorted;  // the same names, sorted, to find a repeat
    // (name without "*", index) of the first name of each, sorted; made at
    // the first Confirm after an Add.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> firstUnmarked;
  };
  std::uint32_t Number(std::string_view name);

  NameNumbers identifiers_;  // an entry's number is its identifier's
  std::vector<Entry> entries_;
  NameNumbers names_;
  std::vector<std::uint32_t> unmarked_;  // by name number: the number of the name without "*"
};

void GroupPairs(const std::filesystem::path& pairFile, const std::filesystem::path& output, std::stop_token stop = {});
void MergePairsUnion(const std::filesystem::path& first, const std::filesystem::path& second,
                     const std::filesystem::path& output, std::stop_token stop = {});
void MergePairsIntersection(const std::filesystem::path& first, const std::filesystem::path& second,
                            const std::filesystem::path& output, std::stop_token stop = {});

}  // namespace velmora
