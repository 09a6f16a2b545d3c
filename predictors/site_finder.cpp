#include "predictors/site_finder.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <tuple>
#include <vector>

#include "predictors/seed_index.h"

namespace velmora::sitefinder {
namespace {

constexpr char kHeader[] =
    "a_Gene_ID\tmiRNA_family_ID\tspecies_ID\tMSA_start\tMSA_end\tUTR_start\tUTR_end\tGroup_num\tSite_type\t"
    "miRNA in this species\tGroup_type\tSpecies_in_this_group\tSpecies_in_this_group_with_this_site_type\n";
constexpr const char* kTypeNames[] = {"8mer-1a", "7mer-m8", "7mer-1a"};
constexpr std::size_t kFlushSize = 1 << 20;

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t tab; (tab = line.find('\t')) != std::string_view::npos; line.remove_prefix(tab + 1)) {
    fields.push_back(line.substr(0, tab));
  }
  fields.push_back(line);
  return fields;
}

struct Utr {
  std::string species;
  std::string sequence;  // aligned: '-' is a gap
};

// Sites are listed in byte order of "SPECIES::MSA_START::MSA_END". A
// position's digits padded with ':' (which sorts after every digit) to a
// fixed width compare as its text does before the "::" that follows it.
std::uint64_t TextOrderKey(std::uint64_t position) {
  char digits[20];
  const auto end = std::to_chars(digits, digits + sizeof digits, position).ptr;
  std::uint64_t key = 0;
  for (int i = 0; i < 18; ++i) key = key * 11 + (digits + i < end ? static_cast<std::uint64_t>(digits[i] - '0') : 10);
  return key;
}

struct Site {
  SiteMatch match;
  std::uint32_t utr;
  std::uint64_t startKey, endKey;
};

class Writer {
 public:
  Writer(const Families& families, std::ostream& out)
      : families_(families), out_(out), index_(Seeds(families)), buffer_(kHeader) {
    for (const auto& entry : families.seeds) ids_.push_back(&entry.first);
  }

  void Gene(const std::string& gene, const std::vector<Utr>& utrs) {
    std::vector<SiteMatch> matches;
    std::vector<Site> sites;
    for (std::uint32_t u = 0; u < utrs.size(); ++u) {
      matches.clear();
      index_.Scan(utrs[u].sequence, matches);
      for (const SiteMatch& m : matches) sites.push_back({m, u, TextOrderKey(m.msaStart), TextOrderKey(m.msaEnd)});
    }
    const std::vector<int> rank = SpeciesRanks(utrs);
    std::sort(sites.begin(), sites.end(), [&](const Site& x, const Site& y) {
      return std::tie(x.match.family, rank[x.utr], x.startKey, x.endKey, x.match.type) <
             std::tie(y.match.family, rank[y.utr], y.startKey, y.endKey, y.match.type);
    });
    for (const Site& s : sites) Line(gene, utrs[s.utr].species, s.match);
    if (buffer_.size() > kFlushSize) Flush();
  }

  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static std::vector<std::string> Seeds(const Families& families) {
    std::vector<std::string> seeds;
    for (const auto& entry : families.seeds) seeds.push_back(entry.second);
    return seeds;
  }

  // Species ids compare by their text with the "::" that follows. (Ids
  // holding "::" themselves, where that is not enough, are not handled.)
  static std::vector<int> SpeciesRanks(const std::vector<Utr>& utrs) {
    std::vector<std::string> keys;
    for (const Utr& utr : utrs) keys.push_back(utr.species + "::");
    std::vector<int> rank(utrs.size());
    for (std::size_t u = 0; u < utrs.size(); ++u) {
      rank[u] = static_cast<int>(std::count_if(keys.begin(), keys.end(), [&](const auto& k) { return k < keys[u]; }));
    }
    return rank;
  }

  void Number(std::uint64_t value) {
    char digits[24];
    buffer_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    buffer_ += '\t';
  }

  void Line(const std::string& gene, const std::string& species, const SiteMatch& m) {
    const std::string& family = *ids_[m.family];
    const char* type = kTypeNames[static_cast<int>(m.type)];
    buffer_.append(gene).append(1, '\t').append(family).append(1, '\t').append(species).append(1, '\t');
    Number(m.msaStart);
    Number(m.msaEnd);
    Number(m.utrStart);
    Number(m.utrStart + (m.type == SiteType::Eightmer1a ? 7 : 6));
    Number(++group_);
    const char* inSpecies = families_.species.contains({family, species}) ? "x" : " ";
    buffer_.append(type).append(1, '\t').append(inSpecies).append(1, '\t').append(type).append(1, '\t');
    buffer_.append(species).append(1, '\n');
  }

  const Families& families_;
  std::ostream& out_;
  std::vector<const std::string*> ids_;  // by family index, byte order
  SeedIndex index_;
  std::string buffer_;
  std::uint64_t group_ = 0;
};

}  // namespace

Families ReadFamilies(const std::string& text) {
  Families families;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    std::erase(line, '\r');
    if (line.empty()) continue;
    const auto fields = SplitTabs(line);
    if (fields.size() < 3) continue;
    std::string seed(fields[1]);
    std::replace(seed.begin(), seed.end(), 'T', 'U');
    families.seeds[std::string(fields[0])] = seed;  // a repeated id: the last seed wins
    families.species.emplace(fields[0], fields[2]);
  }
  return families;
}

void FindSites(const Families& families, std::istream& utrs, std::ostream& out) {
  Writer writer(families, out);
  std::string gene;
  std::vector<Utr> block;  // the current gene's lines, one per species
  for (std::string line; std::getline(utrs, line);) {
    if (line.empty()) continue;
    const auto fields = SplitTabs(line);
    if (fields.size() < 3) continue;
    if (block.empty() || gene != fields[0]) {
      if (!block.empty()) writer.Gene(gene, block);
      gene = fields[0];
      block.clear();
    }
    const auto same = std::find_if(block.begin(), block.end(), [&](const Utr& u) { return u.species == fields[1]; });
    if (same != block.end()) {
      same->sequence = fields[2];
    } else {
      block.push_back({std::string(fields[1]), std::string(fields[2])});
    }
  }
  if (!block.empty()) writer.Gene(gene, block);
  writer.Flush();
}

}  // namespace velmora::sitefinder
