#pragma once

// Every family's three site patterns by 7-mer code, so one pass over a
// sequence finds the sites of all families at once.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::sitefinder {

// In the order sites of one span are listed in.
enum class SiteType : std::uint8_t { Eightmer1a, Sevenmer_m8, Sevenmer1a };

// Compact, as a long gene holds millions; positions fit 32 bits as a
// sequence line of 4 GB is beyond anything this reads.
struct SiteMatch {
  std::uint32_t family;            // index into the seeds the index was built from
  std::uint32_t utrStart;          // 1-based among the non-gap characters
  std::uint32_t msaStart, msaEnd;  // 1-based in the aligned sequence
  std::uint16_t utr = 0;           // for the caller: which of a gene's sequences
  SiteType type;
};

class SeedIndex {
 public:
  // Seeds that are not 7 of A, C, G, U (T already read as U) have no sites.
  explicit SeedIndex(const std::vector<std::string>& seeds);

  // Every site of every family in `aligned`, in no particular order.
  void Scan(std::string_view aligned, std::vector<SiteMatch>& sites) const;

 private:
  static constexpr int kCodes = 1 << 14;  // 7 nucleotides of 2 bits
  struct SevenmerA1 {
    std::uint32_t family;
    std::uint8_t firstOfM;  // an 8mer needs this nucleotide just before the 7mer-1a
  };
  std::vector<std::vector<std::uint32_t>> m8_ = std::vector<std::vector<std::uint32_t>>(kCodes);
  std::vector<std::vector<SevenmerA1>> a1_ = std::vector<std::vector<SevenmerA1>>(kCodes);
};

}  // namespace velmora::sitefinder
