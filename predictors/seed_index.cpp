#include "predictors/seed_index.h"

namespace velmora::sitefinder {
namespace {

constexpr std::uint8_t kA = 0, kC = 1, kG = 2, kU = 3, kOther = 4;

std::uint8_t Code(char c) {
  switch (c) {
    case 'A':
      return kA;
    case 'C':
      return kC;
    case 'G':
      return kG;
    case 'U':
    case 'T':
      return kU;
    default:
      return kOther;  // lower case included: it never matches
  }
}

}  // namespace

SeedIndex::SeedIndex(const std::vector<std::string>& seeds) {
  for (std::uint32_t family = 0; family < seeds.size(); ++family) {
    const std::string& seed = seeds[family];
    if (seed.size() != 7) continue;
    // M, the reverse complement of the seed, as 2-bit codes 5' to 3'.
    std::array<std::uint8_t, 7> m{};
    bool valid = true;
    for (std::size_t i = 0; i < 7; ++i) {
      const std::uint8_t code = Code(seed[i]);
      valid = valid && code != kOther;
      m[6 - i] = static_cast<std::uint8_t>(3 - code);  // A<->U, C<->G
    }
    if (!valid) continue;
    unsigned m8 = 0, a1 = 0;
    for (std::size_t i = 0; i < 7; ++i) m8 = m8 << 2 | m[i];
    for (std::size_t i = 1; i < 7; ++i) a1 = a1 << 2 | m[i];
    a1 = a1 << 2 | kA;
    m8_[m8].push_back(family);
    a1_[a1].push_back({family, m[0]});
  }
}

void SeedIndex::Scan(std::string_view aligned, std::vector<SiteMatch>& sites) const {
  unsigned kmer = 0;                  // the last eight valid nucleotides, 2 bits each
  int run = 0;                        // consecutive valid nucleotides up to the last one
  std::uint32_t u = 0;                // non-gap characters so far
  std::array<std::uint32_t, 8> at{};  // aligned position by non-gap index, modulo 8
  // The 7mer ending at non-gap index u is an 8mer when `next` is an A.
  auto closeSevenmer = [&](std::uint8_t next, std::uint32_t nextAt) {
    if (run < 7) return;
    for (std::uint32_t family : m8_[kmer & (kCodes - 1)]) {
      if (next == kA) {
        sites.push_back({family, u - 6, at[(u - 6) & 7], nextAt, 0, SiteType::Eightmer1a});
      } else {
        sites.push_back({family, u - 6, at[(u - 6) & 7], at[u & 7], 0, SiteType::Sevenmer_m8});
      }
    }
  };
  for (std::size_t i = 0; i < aligned.size(); ++i) {
    if (aligned[i] == '-') continue;
    const std::uint8_t code = Code(aligned[i]);
    const auto position = static_cast<std::uint32_t>(i + 1);
    closeSevenmer(code, position);
    ++u;
    if (code == kOther) {
      run = 0;
      continue;
    }
    kmer = (kmer << 2 | code) & 0xFFFF;
    ++run;
    at[u & 7] = position;
    if (run < 7 || code != kA) continue;
    for (const SevenmerA1& entry : a1_[kmer & (kCodes - 1)]) {
      const bool inEightmer = run >= 8 && (kmer >> 14) == entry.firstOfM;
      if (!inEightmer) sites.push_back({entry.family, u - 6, at[(u - 6) & 7], position, 0, SiteType::Sevenmer1a});
    }
  }
  closeSevenmer(kOther, 0);
}

}  // namespace velmora::sitefinder
