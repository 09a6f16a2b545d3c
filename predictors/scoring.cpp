#include "predictors/scoring.h"

#include <algorithm>

namespace velmora::scanner {
namespace {

constexpr std::array<Base, 256> MakeCodes() {
  std::array<Base, 256> codes{};
  codes.fill(Other);
  for (auto [letter, base] : {std::pair{'A', A}, {'C', C}, {'G', G}, {'T', U}, {'U', U}}) {
    codes[static_cast<unsigned char>(letter)] = base;
    codes[static_cast<unsigned char>(letter - 'A' + 'a')] = base;
  }
  return codes;
}
constexpr auto kCodes = MakeCodes();

int PairScore(Base mirna, Base target) {
  if (WatsonCrick(mirna, target)) return 5;
  if (Wobble(mirna, target)) return 1;
  if (mirna == Other || target == Other) return -1;
  return -3;
}

}  // namespace

Base Code(char letter) { return kCodes[static_cast<unsigned char>(letter)]; }

bool WatsonCrick(Base x, Base y) {
  return (x == A && y == U) || (x == U && y == A) || (x == G && y == C) || (x == C && y == G);
}
bool Wobble(Base x, Base y) { return (x == G && y == U) || (x == U && y == G); }

std::vector<Base> TargetCodes(const std::string& target) {
  std::vector<Base> codes(target.size() + 1, Other);
  for (std::size_t j = 0; j < target.size(); ++j) codes[j + 1] = Code(target[j]);
  return codes;
}

Rows::Rows(const std::string& mirna) : n(static_cast<int>(mirna.size())) {
  const auto size = static_cast<std::size_t>(n) + 1;
  base.resize(size);
  for (auto& row : score) row.assign(size, 0);
  open.assign(size, kNone);
  extend.assign(size, kNone);
  mirnaOpen.assign(size, kNone);
  mirnaExtend.assign(size, kNone);
  bestUpTo.assign(size, 0);
  for (int i = 1; i <= n; ++i) {
    const int position = n - i + 1;
    const bool seed = InSeed(position);
    const bool silent = position == 1 || position == n - 1 || position == n;
    const int scale = seed ? kScale : 1;
    base[i] = Code(mirna[static_cast<std::size_t>(position - 1)]);
    int best = 0;
    for (int t = 0; t < kBases; ++t) {
      score[t][i] = silent ? 0 : PairScore(base[i], static_cast<Base>(t)) * scale;
      best = std::max(best, score[t][i]);
    }
    bestUpTo[i] = bestUpTo[i - 1] + best;
    open[i] = kGapOpen * scale;
    extend[i] = kGapExtend * scale;
    if (!seed && i > 1) {
      mirnaOpen[i] = kGapOpen;
      mirnaExtend[i] = kGapExtend;
    }
  }
}

}  // namespace velmora::scanner
