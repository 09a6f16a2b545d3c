// Zuker-style dynamic programming over one strand. C(i, j) is the best
// energy of positions i..j closed by the pair i.j; the multiloop tables
// work on segments whose stems keep their dangling nucleotides inside the
// segment, which is what lets each unpaired nucleotide dangle only once.

#include "predictors/rna_fold.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "predictors/fold_parameters.h"

namespace velmora::fold {
namespace {

constexpr int kInf = kInfinity;
constexpr int kMinHairpin = 3;
constexpr int kMinStem = kMinHairpin + 2;  // nucleotides of the smallest closed structure
constexpr int kLinkerLength = 7;

// Pair type of two base codes.
constexpr int kPairType[kBases][kBases] = {
    {0, 0, 0, 0, 0}, {0, 0, 0, 0, 5}, {0, 0, 0, 1, 0}, {0, 0, 2, 0, 3}, {0, 6, 0, 4, 0},
};

bool WeakPair(int type) { return type > 2; }  // AU, UA, GU or UG: the terminal penalty applies

struct Position {
  std::uint8_t pairs;  // base code for pairing, 0 if the position never pairs
  std::uint8_t looks;  // base code in mismatch and dangle tables
  bool dangles;
};

Position Encode(char letter) {
  if (letter == kLinker) return {0, 3, true};
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  const auto found = std::string_view("ACGU").find(upper == 'T' ? 'U' : upper);
  if (found == std::string_view::npos) return {0, 0, false};
  const auto code = static_cast<std::uint8_t>(found + 1);
  return {code, code, true};
}

// Interior loops with more than two unpaired nucleotides on a side: the
// length term and the asymmetry term, by the two sides' lengths.
struct GenericLoops {
  std::array<std::array<int, kMaxLoop + 1>, kMaxLoop + 1> cost{};
  GenericLoops() {
    const Parameters& p = kParameters;
    for (int n1 = 0; n1 <= kMaxLoop; ++n1) {
      for (int n2 = 0; n1 + n2 <= kMaxLoop; ++n2) {
        cost[n1][n2] = p.interior[n1 + n2] + std::min(p.ninioMax, p.ninioSlope * std::abs(n1 - n2));
      }
    }
  }
};
const GenericLoops kGeneric;

class Folder {
 public:
  int Fold(std::string_view strand);

 private:
  int Type(int i, int j) const { return kPairType[s_[i].pairs][s_[j].pairs]; }
  int& At(std::vector<int>& table, int i, int j) { return table[static_cast<std::size_t>(i * n_ + j)]; }
  int Get(const std::vector<int>& table, int i, int j) const { return table[static_cast<std::size_t>(i * n_ + j)]; }
  int Dangle5(int type, int k) const { return s_[k].dangles ? kParameters.dangle5[type][s_[k].looks] : kInf; }
  int Dangle3(int type, int k) const { return s_[k].dangles ? kParameters.dangle3[type][s_[k].looks] : kInf; }

  int Hairpin(int i, int j, int type) const;
  int SmallLoop(int i, int j, int p, int q, int type) const;
  int Interior(int i, int j, int type) const;
  int Multiloop(int i, int j) const;
  int Stem(int a, int b) const;  // a branch a.b of a multiloop, no dangles
  void Segments(int i, int j);
  int Exterior() const;

  int n_ = 0;
  std::vector<Position> s_;
  std::vector<int> closed_;              // C(i, j)
  std::vector<int> closedInner_;         // C(p, q) plus its mismatch as the inner pair of an interior loop
  std::vector<int> owned_;               // one branch whose nucleotides and dangles are exactly p..q
  std::vector<int> ownedFrom_;           // transposed: by q, then p; one branch starting its part at p, ending by q
  std::vector<int> oneFrom_;             // one branch anywhere in p..q
  std::vector<int> several_;             // two or more branches in p..q
  std::vector<int> any_;                 // one or more branches in p..q
  std::vector<std::uint64_t> closable_;  // by p, bits q where C(p, q) is finite
  int words_ = 0;
};

int Folder::Hairpin(int i, int j, int type) const {
  const Parameters& p = kParameters;
  const int u = j - i - 1;
  int energy =
      u <= kMaxLoop ? p.hairpin[u] : p.hairpin[kMaxLoop] + static_cast<int>(p.loopExtrapolation * std::log(u / 30.0));
  if (u == kMinHairpin) return energy + (WeakPair(type) ? p.terminalAU : 0);
  return energy + p.mismatchHairpin[type][s_[i + 1].looks][s_[j - 1].looks];
}

// Stacks, bulges and the tabulated 1x1, 1x2, 2x1 and 2x2 loops.
int Folder::SmallLoop(int i, int j, int p, int q, int type) const {
  const Parameters& par = kParameters;
  const int n1 = p - i - 1, n2 = j - q - 1;
  const int inner = Type(q, p);
  auto at = [&](int k) { return s_[k].looks; };
  if (n1 == 0 && n2 == 0) return par.stack[type][inner];
  if (n1 == 0 || n2 == 0) {
    const int u = n1 + n2;
    if (u == 1) return par.bulge[1] + par.stack[type][inner];
    return par.bulge[u] + (WeakPair(type) ? par.terminalAU : 0) + (WeakPair(inner) ? par.terminalAU : 0);
  }
  if (n1 == 1 && n2 == 1) return par.int11[type][inner][at(i + 1)][at(j - 1)];
  if (n1 == 1 && n2 == 2) return par.int21[type][inner][at(i + 1)][at(q + 1)][at(j - 1)];
  if (n1 == 2 && n2 == 1) return par.int21[inner][type][at(q + 1)][at(i + 1)][at(p - 1)];
  return par.int22[type][inner][at(i + 1)][at(p - 1)][at(q + 1)][at(j - 1)];
}

// The best interior loop or stack closed by i.j, its inner structure included.
int Folder::Interior(int i, int j, int type) const {
  const int outerMismatch = kParameters.mismatchInterior[type][s_[i + 1].looks][s_[j - 1].looks];
  int best = kInf;
  const int lastP = std::min(i + 1 + kMaxLoop, j - kMinStem);
  for (int p = i + 1; p <= lastP; ++p) {
    const int n1 = p - i - 1;
    const int firstQ = std::max(p + kMinStem - 1, j - 1 - (kMaxLoop - n1));
    const std::uint64_t* row = &closable_[static_cast<std::size_t>(p * words_)];
    for (int w = firstQ >> 6; w <= (j - 1) >> 6; ++w) {
      std::uint64_t bits = row[w];
      if (w == firstQ >> 6) bits &= ~std::uint64_t{0} << (firstQ & 63);
      if (w == (j - 1) >> 6 && ((j - 1) & 63) != 63) bits &= (std::uint64_t{1} << (((j - 1) & 63) + 1)) - 1;
      for (; bits; bits &= bits - 1) {
        const int q = w * 64 + std::countr_zero(bits);
        const int n2 = j - q - 1;
        if (n1 > 2 || n2 > 2) {
          if (n1 && n2) {
            best = std::min(best, kGeneric.cost[n1][n2] + outerMismatch + Get(closedInner_, p, q));
            continue;
          }
        }
        best = std::min(best, SmallLoop(i, j, p, q, type) + Get(closed_, p, q));
      }
    }
  }
  return best;
}

int Folder::Multiloop(int i, int j) const {
  if (j - i - 1 < 2 * kMinStem) return kInf;
  const Parameters& p = kParameters;
  const int type = Type(j, i);  // the closing pair seen from inside the loop
  const int base = p.multiloopClosing + p.multiloopBranch + (WeakPair(type) ? p.terminalAU : 0);
  const int d3 = Dangle3(type, i + 1), d5 = Dangle5(type, j - 1);
  const int inside = std::min({Get(several_, i + 1, j - 1), Get(several_, i + 2, j - 1) + d3,
                               Get(several_, i + 1, j - 2) + d5, Get(several_, i + 2, j - 2) + d3 + d5});
  return base + inside;
}

int Folder::Stem(int a, int b) const {
  const int c = Get(closed_, a, b);
  if (c >= kInf) return kInf;
  return c + kParameters.multiloopBranch + (WeakPair(Type(a, b)) ? kParameters.terminalAU : 0);
}

// The multiloop tables for the segment i..j, once C of every pair inside is known.
void Folder::Segments(int i, int j) {
  int owned = Stem(i, j);
  if (j - i >= kMinStem) {
    if (const int stem = Stem(i + 1, j); stem < kInf) owned = std::min(owned, stem + Dangle5(Type(i + 1, j), i));
    if (const int stem = Stem(i, j - 1); stem < kInf) owned = std::min(owned, stem + Dangle3(Type(i, j - 1), j));
    if (const int stem = Stem(i + 1, j - 1); stem < kInf && j - i > kMinStem) {
      const int type = Type(i + 1, j - 1);
      owned = std::min(owned, stem + Dangle5(type, i) + Dangle3(type, j));
    }
  }
  At(owned_, i, j) = std::min(owned, kInf);
  const int ownedFrom = std::min(At(owned_, i, j), At(ownedFrom_, j - 1, i));
  At(ownedFrom_, j, i) = ownedFrom;
  const int one = std::min(ownedFrom, At(oneFrom_, i + 1, j));
  At(oneFrom_, i, j) = one;
  int several = kInf;
  if (j - i + 1 >= 2 * kMinStem) {
    const int* any = &any_[static_cast<std::size_t>(i * n_)];
    const int* from = &ownedFrom_[static_cast<std::size_t>(j * n_)];
    for (int a = i + kMinStem; a <= j - kMinStem + 1; ++a) several = std::min(several, any[a - 1] + from[a]);
  }
  At(several_, i, j) = std::min(several, kInf);
  At(any_, i, j) = std::min(several, one);
}

int Folder::Exterior() const {
  const Parameters& p = kParameters;
  std::vector<int> prefix(static_cast<std::size_t>(n_) + 1, 0);  // best energy of positions 0..k-1
  auto before = [&](int i, int type) {                           // the part left of a stem starting at i
    int best = prefix[static_cast<std::size_t>(i)];
    if (i >= 1) best = std::min(best, prefix[static_cast<std::size_t>(i - 1)] + Dangle5(type, i - 1));
    return best;
  };
  auto stems = [&](int end, int k, int best) {  // stems i.end, with the 3' dangle on k when k > end
    for (int i = 0; i + kMinStem - 1 <= end; ++i) {
      const int c = Get(closed_, i, end);
      if (c >= kInf) continue;
      const int type = Type(i, end);
      const int tail = k > end ? Dangle3(type, k) : 0;
      best = std::min(best, before(i, type) + c + (WeakPair(type) ? p.terminalAU : 0) + tail);
    }
    return best;
  };
  for (int k = 1; k <= n_; ++k) {
    int best = stems(k - 1, k - 1, prefix[static_cast<std::size_t>(k - 1)]);
    if (k >= 2) best = stems(k - 2, k - 1, best);
    prefix[static_cast<std::size_t>(k)] = std::min(best, kInf);
  }
  return prefix[static_cast<std::size_t>(n_)];
}

int Folder::Fold(std::string_view strand) {
  n_ = static_cast<int>(strand.size());
  s_.resize(strand.size());
  for (std::size_t k = 0; k < strand.size(); ++k) s_[k] = Encode(strand[k]);
  words_ = (n_ + 63) / 64;
  const auto cells = static_cast<std::size_t>(n_ * n_);
  for (auto* table : {&closed_, &closedInner_, &owned_, &ownedFrom_, &oneFrom_, &several_, &any_}) {
    table->assign(cells, kInf);
  }
  closable_.assign(static_cast<std::size_t>(n_ * words_), 0);
  for (int span = kMinStem - 1; span < n_; ++span) {
    for (int i = 0, j = span; j < n_; ++i, ++j) {
      if (const int type = Type(i, j)) {
        const int c = std::min({Hairpin(i, j, type), Interior(i, j, type), Multiloop(i, j), kInf});
        At(closed_, i, j) = c;
        if (c < kInf) {
          closable_[static_cast<std::size_t>(i * words_ + j / 64)] |= std::uint64_t{1} << (j % 64);
          if (i > 0 && j + 1 < n_) {
            At(closedInner_, i, j) = c + kParameters.mismatchInterior[Type(j, i)][s_[j + 1].looks][s_[i - 1].looks];
          }
        }
      }
      Segments(i, j);
    }
  }
  return Exterior();
}

}  // namespace

int MinimumFreeEnergy(std::string_view strand) {
  thread_local Folder folder;
  return folder.Fold(strand);
}

float HitEnergy(std::string_view mirna, std::string_view window) {
  std::string strand(mirna.rbegin(), mirna.rend());
  strand.append(kLinkerLength, kLinker);
  strand.append(window.rbegin(), window.rend());
  return static_cast<float>(MinimumFreeEnergy(strand)) / 100.0f;
}

}  // namespace velmora::fold
