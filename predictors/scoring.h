#pragma once

// The scanner's scoring: nucleotide codes, pair scores and the gap costs of
// every alignment row. Rows run over the reversed miRNA: row i (1-based)
// holds miRNA position n - i + 1.

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace velmora::scanner {

inline constexpr int kGapOpen = -9;
inline constexpr int kGapExtend = -4;
inline constexpr int kScale = 4;
inline constexpr int kSeedFirst = 2, kSeedLast = 8;  // miRNA positions scaled by kScale
inline constexpr int kNone = std::numeric_limits<int>::min() / 4;

enum Base : std::uint8_t { A, C, G, U, Other };
inline constexpr int kBases = 5;

Base Code(char letter);
bool WatsonCrick(Base x, Base y);
bool Wobble(Base x, Base y);

inline bool InSeed(int position) { return position >= kSeedFirst && position <= kSeedLast; }

// 1-based codes of a target: codes[0] is a border placeholder.
std::vector<Base> TargetCodes(const std::string& target);

struct Rows {
  int n;
  std::vector<Base> base;                      // by row
  std::array<std::vector<int>, kBases> score;  // pair score by target base, then row
  std::vector<int> open, extend;               // unpaired-target gap costs by row
  std::vector<int> mirnaOpen, mirnaExtend;     // unpaired-miRNA gap costs by row; kNone where not allowed
  std::vector<int> bestUpTo;                   // the most any alignment ending on row i can score

  explicit Rows(const std::string& mirna);
};

}  // namespace velmora::scanner
