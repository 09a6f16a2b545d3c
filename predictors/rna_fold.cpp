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

// Loop terms that depend on the loop's size only, and lower bounds of them
// that let the search skip loops which cannot beat a known structure.
struct LoopSizes {
  // Interior loops with three or more unpaired nucleotides on a side: the
  // length term and the asymmetry term, by the two sides' lengths.
  std::array<std::array<int, kMaxLoop + 1>, kMaxLoop + 1> generic{};
  std::array<int, kMaxLoop + 1> lowestGeneric{};  // by the 5' side's length
  int lowestGenericAll = kInf;
  int lowestBulge = kInf;  // bulges of 3 or more

  LoopSizes() {
    const Parameters& p = kParameters;
    lowestGeneric.fill(kInf);
    for (int n1 = 1; n1 <= kMaxLoop; ++n1) {
      for (int n2 = 1; n1 + n2 <= kMaxLoop; ++n2) {
        if (n1 <= 2 && n2 <= 2) continue;
        generic[n1][n2] = p.interior[n1 + n2] + std::min(p.ninioMax, p.ninioSlope * std::abs(n1 - n2));
        lowestGeneric[n1] = std::min(lowestGeneric[n1], generic[n1][n2]);
        lowestGenericAll = std::min(lowestGenericAll, generic[n1][n2]);
      }
    }
    for (int u = 3; u <= kMaxLoop; ++u) lowestBulge = std::min(lowestBulge, p.bulge[u]);
  }
};
const LoopSizes kSizes;

// Two or more multiloop branches in i..j, for every i of one column j at
// once: the least any(i, a - 1) + from[a] over the split points a. anyByEnd
// holds any(i, q) at q * n + i. The inner loop runs over i, contiguous and
// independent, and is built for AVX2 where the processor has it.
__attribute__((target_clones("avx2", "default"))) void SplitMinimum(const int* anyByEnd, const int* from, int n, int j,
                                                                    int* several) {
  std::fill(several, several + n, kInf);
  for (int a = kMinStem; a <= j - kMinStem + 1; ++a) {
    const int right = from[a];
    if (right >= kInf / 2) continue;
    const int* left = anyByEnd + static_cast<std::ptrdiff_t>(a - 1) * n;
    for (int i = 0; i <= a - kMinStem; ++i) several[i] = std::min(several[i], left[i] + right);
  }
}

// Sums that include an impossible structure stay near kInf; this puts them back.
int Bounded(int energy) { return energy > kInf / 2 ? kInf : energy; }

class Folder {
 public:
  int Fold(std::string_view strand);

 private:
  int Type(int i, int j) const { return kPairType[pairs_[i]][pairs_[j]]; }
  int& At(std::vector<int>& table, int i, int j) { return table[static_cast<std::size_t>(i * n_ + j)]; }
  int Get(const std::vector<int>& table, int i, int j) const { return table[static_cast<std::size_t>(i * n_ + j)]; }
  int Dangle5(int type, int k) const { return dangles_[k] ? kParameters.dangle5[type][looks_[k]] : kInf; }
  int Dangle3(int type, int k) const { return dangles_[k] ? kParameters.dangle3[type][looks_[k]] : kInf; }
  template <typename Visit>
  void ForBits(const std::vector<std::uint64_t>& bitRows, int row, int first, int last, Visit visit) const;

  int Hairpin(int i, int j, int type) const;
  int SmallLoops(int i, int j, int type) const;
  int LargeLoops(int i, int j, int type, int best) const;
  int Multiloop(int i, int j) const;
  void Close(int i, int j, int type);
  void Segments(int j);
  int Exterior() const;

  int n_ = 0;
  int words_ = 0;                                      // 64-bit words per row of the bit tables
  std::vector<std::uint8_t> pairs_, looks_, dangles_;  // by position, as Encode gives them
  std::vector<int> closed_;                            // C(i, j)
  std::vector<int> closedInner_;   // C(p, q) plus its mismatch as the inner pair of an interior loop
  std::vector<int> lowestClosed_;  // the least C(p, q) with i <= p < q <= j
  std::vector<int> lowestInner_;   // the same for closedInner_
  std::vector<int> rowInner_;      // the least closedInner_(i, q) with q <= j
  // The multiloop tables, by segment p..q stored at q * n + p (a column
  // of segments ending at q is one contiguous row).
  std::vector<int> owned_;                 // one branch whose nucleotides and dangles are exactly p..q
  std::vector<int> ownedFrom_;             // one branch owning from p, ending by q
  std::vector<int> several_;               // two or more branches
  std::vector<int> any_;                   // one or more branches
  std::vector<std::uint64_t> closable_;    // by p, bits q where C(p, q) is finite
  std::vector<std::uint64_t> closableTo_;  // by q, bits p where C(p, q) is finite
};

// Every set bit of one row of a bit table, from first to last.
template <typename Visit>
void Folder::ForBits(const std::vector<std::uint64_t>& bitRows, int row, int first, int last, Visit visit) const {
  if (first > last) return;
  const std::uint64_t* words = &bitRows[static_cast<std::size_t>(row * words_)];
  for (int w = first >> 6; w <= last >> 6; ++w) {
    std::uint64_t bits = words[w];
    if (w == first >> 6) bits &= ~std::uint64_t{0} << (first & 63);
    if (w == last >> 6) bits &= ~std::uint64_t{0} >> (63 - (last & 63));
    for (; bits; bits &= bits - 1) visit(w * 64 + std::countr_zero(bits));
  }
}

int Folder::Hairpin(int i, int j, int type) const {
  const Parameters& p = kParameters;
  const int u = j - i - 1;
  int energy =
      u <= kMaxLoop ? p.hairpin[u] : p.hairpin[kMaxLoop] + static_cast<int>(p.loopExtrapolation * std::log(u / 30.0));
  if (u == kMinHairpin) return energy + (WeakPair(type) ? p.terminalAU : 0);
  return energy + p.mismatchHairpin[type][looks_[i + 1]][looks_[j - 1]];
}

// The stack and the loops with at most two unpaired nucleotides a side
// closed by i.j (the inner pair p.q typed as q.p), their insides included.
// An impossible inner pair has type 0 and an infinite C.
int Folder::SmallLoops(int i, int j, int type) const {
  const Parameters& par = kParameters;
  auto inner = [&](int p, int q) { return Type(q, p); };
  auto at = [&](int k) { return looks_[k]; };
  auto c = [&](int p, int q) { return Get(closed_, p, q); };
  auto weak = [&](int t) { return WeakPair(t) ? par.terminalAU : 0; };
  const int i1 = at(i + 1), j1 = at(j - 1);
  int best = par.stack[type][inner(i + 1, j - 1)] + c(i + 1, j - 1);
  best = std::min(best, par.bulge[1] + par.stack[type][inner(i + 2, j - 1)] + c(i + 2, j - 1));
  best = std::min(best, par.bulge[1] + par.stack[type][inner(i + 1, j - 2)] + c(i + 1, j - 2));
  best = std::min(best, par.bulge[2] + weak(type) + weak(inner(i + 3, j - 1)) + c(i + 3, j - 1));
  best = std::min(best, par.bulge[2] + weak(type) + weak(inner(i + 1, j - 3)) + c(i + 1, j - 3));
  best = std::min(best, par.int11[type][inner(i + 2, j - 2)][i1][j1] + c(i + 2, j - 2));
  best = std::min(best, par.int21[type][inner(i + 2, j - 3)][i1][at(j - 2)][j1] + c(i + 2, j - 3));
  best = std::min(best, par.int21[inner(i + 3, j - 2)][type][j1][i1][at(i + 2)] + c(i + 3, j - 2));
  return std::min(best, par.int22[type][inner(i + 3, j - 3)][i1][at(i + 2)][at(j - 2)][j1] + c(i + 3, j - 3));
}

// Bulges of three or more and the other interior loops closed by i.j, or
// `best` if none is better. Lower bounds of their inside skip most of them.
int Folder::LargeLoops(int i, int j, int type, int best) const {
  const Parameters& par = kParameters;
  const int lastP = std::min(i + 1 + kMaxLoop, j - kMinStem);
  if (best > kSizes.lowestBulge + Get(lowestClosed_, i + 1, j - 1)) {
    auto bulge = [&](int p, int q) {
      const int inner = Type(q, p);
      best = std::min(best, par.bulge[p - i - 1 + j - q - 1] + (WeakPair(type) ? par.terminalAU : 0) +
                                (WeakPair(inner) ? par.terminalAU : 0) + Get(closed_, p, q));
    };
    ForBits(closable_, i + 1, std::max(i + kMinStem, j - 1 - kMaxLoop), j - 4, [&](int q) { bulge(i + 1, q); });
    ForBits(closableTo_, j - 1, i + 4, lastP, [&](int p) { bulge(p, j - 1); });
  }
  const int outerMismatch = par.mismatchInterior[type][looks_[i + 1]][looks_[j - 1]];
  if (best <= kSizes.lowestGenericAll + outerMismatch + Get(lowestInner_, i + 2, j - 2)) return best;
  for (int p = i + 2; p <= std::min(lastP, j - kMinStem - 1); ++p) {
    const int n1 = p - i - 1;
    if (best <= kSizes.lowestGeneric[n1] + outerMismatch + Get(rowInner_, p, j - 2)) continue;
    const int firstQ = std::max(p + kMinStem - 1, j - 1 - (kMaxLoop - n1));
    ForBits(closable_, p, firstQ, j - 1 - (n1 <= 2 ? 3 : 1), [&](int q) {
      best = std::min(best, kSizes.generic[n1][j - q - 1] + outerMismatch + Get(closedInner_, p, q));
    });
  }
  return best;
}

int Folder::Multiloop(int i, int j) const {
  if (j - i - 1 < 2 * kMinStem) return kInf;
  const Parameters& p = kParameters;
  const int type = Type(j, i);  // the closing pair seen from inside the loop
  const int base = p.multiloopClosing + p.multiloopBranch + (WeakPair(type) ? p.terminalAU : 0);
  const int d3 = Dangle3(type, i + 1), d5 = Dangle5(type, j - 1);
  const int inside = std::min({Get(several_, j - 1, i + 1), Get(several_, j - 1, i + 2) + d3,
                               Get(several_, j - 2, i + 1) + d5, Get(several_, j - 2, i + 2) + d3 + d5});
  return base + inside;
}

// C(i, j) for a pair i.j, and what the loops around it look up.
void Folder::Close(int i, int j, int type) {
  const int c =
      Bounded(LargeLoops(i, j, type, std::min({Hairpin(i, j, type), SmallLoops(i, j, type), Multiloop(i, j)})));
  if (c == kInf) return;
  At(closed_, i, j) = c;
  closable_[static_cast<std::size_t>(i * words_ + j / 64)] |= std::uint64_t{1} << (j % 64);
  closableTo_[static_cast<std::size_t>(j * words_ + i / 64)] |= std::uint64_t{1} << (i % 64);
  const bool left = i > 0, right = j + 1 < n_;
  if (left && right) {
    At(closedInner_, i, j) = c + kParameters.mismatchInterior[Type(j, i)][looks_[j + 1]][looks_[i - 1]];
  }
  // The pair as a multiloop branch: it owns i..j, and one position more on
  // each side where it takes the dangle.
  const int branch = c + kParameters.multiloopBranch + (WeakPair(type) ? kParameters.terminalAU : 0);
  const int d5 = left ? Dangle5(type, i - 1) : kInf, d3 = right ? Dangle3(type, j + 1) : kInf;
  auto own = [&](int p, int q, int energy) { At(owned_, q, p) = std::min(At(owned_, q, p), energy); };
  own(i, j, branch);
  if (left) own(i - 1, j, branch + d5);
  if (right) own(i, j + 1, branch + d3);
  if (left && right) own(i - 1, j + 1, branch + d5 + d3);
}

// The multiloop tables for the segments ending at j, once every pair inside is closed.
void Folder::Segments(int j) {
  int* ownedFrom = &ownedFrom_[static_cast<std::size_t>(j * n_)];
  for (int i = 0; i <= j - kMinStem + 1; ++i) ownedFrom[i] = std::min(Get(owned_, j, i), Get(ownedFrom_, j - 1, i));
  int* several = &several_[static_cast<std::size_t>(j * n_)];
  SplitMinimum(any_.data(), ownedFrom, n_, j, several);
  int* any = &any_[static_cast<std::size_t>(j * n_)];
  for (int i = j - kMinStem + 1; i >= 0; --i) any[i] = std::min({several[i], ownedFrom[i], any[i + 1]});
}

int Folder::Exterior() const {
  const Parameters& p = kParameters;
  // prefix[k]: the best energy of positions 0..k-1, dangles inside them.
  std::vector<int> prefix(static_cast<std::size_t>(n_) + 1, 0);
  for (int end = 0; end < n_; ++end) {
    int bare = prefix[static_cast<std::size_t>(end)];  // a stem ends at `end`
    int dangling = kInf;                               // a stem ends at `end`, dangling on end + 1
    const bool tail = end + 1 < n_ && dangles_[end + 1];
    for (int w = 0; w < words_; ++w) {
      for (std::uint64_t bits = closableTo_[static_cast<std::size_t>(end * words_ + w)]; bits; bits &= bits - 1) {
        const int i = w * 64 + std::countr_zero(bits);
        const int type = Type(i, end);
        int stem = prefix[static_cast<std::size_t>(i)];
        if (i > 0) stem = std::min(stem, prefix[static_cast<std::size_t>(i - 1)] + Dangle5(type, i - 1));
        stem += Get(closed_, i, end) + (WeakPair(type) ? p.terminalAU : 0);
        bare = std::min(bare, stem);
        if (tail) dangling = std::min(dangling, stem + p.dangle3[type][looks_[end + 1]]);
      }
    }
    prefix[static_cast<std::size_t>(end + 1)] = std::min(prefix[static_cast<std::size_t>(end + 1)], bare);
    if (end + 2 <= n_) prefix[static_cast<std::size_t>(end + 2)] = dangling;
  }
  return prefix[static_cast<std::size_t>(n_)];
}

int Folder::Fold(std::string_view strand) {
  n_ = static_cast<int>(strand.size());
  words_ = (n_ + 63) / 64;
  for (auto* codes : {&pairs_, &looks_, &dangles_}) codes->resize(strand.size());
  for (std::size_t k = 0; k < strand.size(); ++k) {
    const Position position = Encode(strand[k]);
    pairs_[k] = position.pairs;
    looks_[k] = position.looks;
    dangles_[k] = position.dangles;
  }
  const auto cells = static_cast<std::size_t>(n_ * n_);
  for (auto* table :
       {&closed_, &closedInner_, &lowestClosed_, &lowestInner_, &rowInner_, &owned_, &ownedFrom_, &several_, &any_}) {
    table->assign(cells, kInf);
  }
  closable_.assign(static_cast<std::size_t>(n_ * words_), 0);
  closableTo_.assign(static_cast<std::size_t>(n_ * words_), 0);
  for (int j = kMinStem - 1; j < n_; ++j) {
    for (int i = j - kMinStem + 1; i >= 0; --i) {
      if (const int type = Type(i, j)) Close(i, j, type);
      At(lowestClosed_, i, j) =
          std::min(At(closed_, i, j), std::min(At(lowestClosed_, i + 1, j), At(lowestClosed_, i, j - 1)));
      At(rowInner_, i, j) = std::min(At(closedInner_, i, j), At(rowInner_, i, j - 1));
      At(lowestInner_, i, j) =
          std::min(At(closedInner_, i, j), std::min(At(lowestInner_, i + 1, j), At(lowestInner_, i, j - 1)));
    }
    Segments(j);
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
