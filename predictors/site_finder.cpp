#include "predictors/site_finder.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string_view>
#include <vector>

#include "core/byte_stream.h"
#include "core/text.h"
#include "predictors/seed_index.h"

namespace velmora::sitefinder {
namespace {

constexpr char kHeader[] =
    "a_Gene_ID\tmiRNA_family_ID\tspecies_ID\tMSA_start\tMSA_end\tUTR_start\tUTR_end\tGroup_num\tSite_type\t"
    "miRNA in this species\tGroup_type\tSpecies_in_this_group\tSpecies_in_this_group_with_this_site_type\n";
constexpr const char* kTypeNames[] = {"8mer-1a", "7mer-m8", "7mer-1a"};
constexpr std::size_t kFlushSize = 1 << 20;

struct Utr {
  std::string species;
  std::string sequence;  // aligned: '-' is a gap
};

// Sites are listed in byte order of "SPECIES::MSA_START::MSA_END". Two
// positions compare as their decimal texts do when each is followed by ':',
// which sorts after every digit: a text that starts the other sorts last.
int TextCompare(std::uint32_t a, std::uint32_t b) {
  auto digits = [](std::uint32_t value) {
    int count = 1;
    while (value >= 10) value /= 10, ++count;
    return count;
  };
  const int da = digits(a), db = digits(b);
  auto cut = [](std::uint32_t value, int drop) {
    while (drop-- > 0) value /= 10;
    return value;
  };
  const std::uint32_t x = cut(a, da - db), y = cut(b, db - da);  // both on the shorter length
  if (x != y) return x < y ? -1 : 1;
  return da == db ? 0 : da < db ? 1 : -1;
}

class Writer {
 public:
  Writer(const Families& families, std::ostream& out)
      : families_(families), out_(out), index_(Seeds(families)), buffer_(kHeader) {
    for (const auto& entry : families.seeds) ids_.push_back(&entry.first);
  }

  void Gene(const std::string& gene, const std::vector<Utr>& utrs) {
    sites_.clear();
    for (std::size_t u = 0; u < utrs.size(); ++u) {
      const std::size_t before = sites_.size();
      index_.Scan(utrs[u].sequence, sites_);
      for (std::size_t k = before; k < sites_.size(); ++k) sites_[k].utr = static_cast<std::uint16_t>(u);
    }
    const std::vector<int> rank = SpeciesRanks(utrs);
    std::sort(sites_.begin(), sites_.end(), [&](const SiteMatch& x, const SiteMatch& y) {
      if (x.family != y.family) return x.family < y.family;
      if (rank[x.utr] != rank[y.utr]) return rank[x.utr] < rank[y.utr];
      if (const int c = TextCompare(x.msaStart, y.msaStart)) return c < 0;
      if (const int c = TextCompare(x.msaEnd, y.msaEnd)) return c < 0;
      return x.type < y.type;
    });
    for (const SiteMatch& site : sites_) {
      Line(gene, utrs[site.utr].species, site);
      if (buffer_.size() > kFlushSize) Flush();
    }
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

  // Which families have a line for `species`, by family index.
  const std::vector<bool>& FamiliesOf(const std::string& species) {
    auto [entry, added] = familiesOf_.try_emplace(species);
    if (added) {
      for (const std::string* id : ids_) entry->second.push_back(families_.species.contains({*id, species}));
    }
    return entry->second;
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
    const char* inSpecies = FamiliesOf(species)[m.family] ? "x" : " ";
    buffer_.append(type).append(1, '\t').append(inSpecies).append(1, '\t').append(type).append(1, '\t');
    buffer_.append(species).append(1, '\n');
  }

  const Families& families_;
  std::ostream& out_;
  std::vector<const std::string*> ids_;  // by family index, byte order
  SeedIndex index_;
  std::vector<SiteMatch> sites_;  // the current gene's
  std::map<std::string, std::vector<bool>> familiesOf_;
  std::string buffer_;
  std::uint64_t group_ = 0;
};

}  // namespace

Families ReadFamilies(const std::string& text) {
  Families families;
  LineFile lines(std::make_unique<MemoryStream>(text));
  for (std::string line; lines.ReadLine(true, line);) {
    std::erase(line, '\r');
    if (line.empty()) continue;
    const auto fields = Split(line, '\t');
    if (fields.size() < 3) continue;
    std::string seed(fields[1]);
    std::replace(seed.begin(), seed.end(), 'T', 'U');
    families.seeds[std::string(fields[0])] = seed;  // a repeated id: the last seed wins
    families.species.emplace(fields[0], fields[2]);
  }
  return families;
}

void FindSites(const Families& families, LineFile& utrs, std::ostream& out, predictors::ProgressReport* progress) {
  Writer writer(families, out);
  std::string gene;
  std::vector<Utr> block;  // the current gene's lines, one per species
  for (std::string line; utrs.ReadLine(true, line);) {
    if (progress) progress->Add(line.size() + 1);
    if (line.empty()) continue;
    const auto fields = Split(line, '\t');
    if (fields.size() < 3) continue;
    if (block.empty() || gene != fields[0]) {
      if (!block.empty()) writer.Gene(gene, block);
      gene = fields[0];
      block.clear();
    }
    std::string species(fields[1]);
    // The line itself becomes the sequence: no second copy of a long one.
    const std::size_t start = static_cast<std::size_t>(fields[2].data() - line.data()), length = fields[2].size();
    line.erase(0, start);
    line.resize(length);
    const auto same = std::find_if(block.begin(), block.end(), [&](const Utr& u) { return u.species == species; });
    if (same != block.end()) {
      same->sequence = std::move(line);
    } else {
      block.push_back({std::move(species), std::move(line)});
    }
    line = std::string();
  }
  if (!block.empty()) writer.Gene(gene, block);
  writer.Flush();
}

}  // namespace velmora::sitefinder
