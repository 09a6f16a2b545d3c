// Zuker-style dynamic programming over one strand. C(i, j) is the best
// energy of positions i..j closed by the pair i.j; the multiloop tables
// work on segments whose stems keep their dangling nucleotides inside the
// segment, which is what lets each unpaired nucleotide dangle only once.

#include "predictors/rna_fold.h"

#include <algorithm>
#include <array>
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
// that grow with the loop: a search that enlarges the loop stops once the
// bound reaches the best structure known.
struct LoopSizes {
  // Interior loops with three or more unpaired nucleotides on a side: the
  // length term and the asymmetry term, by the two sides' lengths.
  std::array<std::array<int, kMaxLoop + 1>, kMaxLoop + 1> generic{};
  // The least generic[n1][m] over m >= n2, and over every loop with n1 or more on the 5' side.
  std::array<std::array<int, kMaxLoop + 2>, kMaxLoop + 1> genericFrom{};
  std::array<int, kMaxLoop + 2> genericFromSide{};
  std::array<int, kMaxLoop + 2> bulgeFrom{};  // the least bulge[m] over m >= u
  int weakLowest = 0;                         // the least a terminal penalty can add
  std::array<int, 4 * kMaxLoop> hairpin{};    // the hairpin length term, no logarithm per loop

  LoopSizes() {
    const Parameters& p = kParameters;
    for (auto& row : genericFrom) row.fill(kInf);
    genericFromSide.fill(kInf);
    bulgeFrom.fill(kInf);
    for (int n1 = kMaxLoop; n1 >= 1; --n1) {
      for (int n2 = kMaxLoop - n1; n2 >= 1; --n2) {
        const bool small = n1 <= 2 && n2 <= 2;  // tabulated whole, with the small loops
        generic[n1][n2] = p.interior[n1 + n2] + std::min(p.ninioMax, p.ninioSlope * std::abs(n1 - n2));
        genericFrom[n1][n2] = std::min(genericFrom[n1][n2 + 1], small ? kInf : generic[n1][n2]);
      }
      genericFromSide[n1] = std::min(genericFromSide[n1 + 1], genericFrom[n1][1]);
    }
    for (int u = kMaxLoop; u >= 1; --u) bulgeFrom[u] = std::min(bulgeFrom[u + 1], p.bulge[u]);
    weakLowest = std::min(0, p.terminalAU);
    for (int u = kMinHairpin; u < static_cast<int>(hairpin.size()); ++u) hairpin[u] = HairpinLength(u);
  }

  static int HairpinLength(int u) {
    const Parameters& p = kParameters;
    return u <= kMaxLoop ? p.hairpin[u]
                         : p.hairpin[kMaxLoop] + static_cast<int>(p.loopExtrapolation * std::log(u / 30.0));
  }
};
const LoopSizes kSizes;

// Columns hold kColumnStep cells or a multiple: most strands share a
// layout, and the split below runs in whole blocks with no scalar remainder.
constexpr std::size_t kColumnStep = 64;
constexpr int kBlock = 16;
static_assert(kColumnStep % kBlock == 0);

// Two or more multiloop branches in i..j, for every i of one column j at
// once: the least any(i, a - 1) + from[a] over the split points a. anyByEnd
// holds any(i, q) at q * stride + i. The inner loop runs over i, contiguous
// and independent, in whole blocks: the cells past a - kMinStem hold no
// segment, stay near kInf and change nothing. Built for AVX2 where the
// processor has it.
__attribute__((target_clones("avx2", "default"))) void SplitMinimum(const int* anyByEnd, const int* from,
                                                                    std::size_t stride, int j, int* several) {
  std::fill(several, several + stride, kInf);
  for (int a = kMinStem; a <= j - kMinStem + 1; ++a) {
    const int right = from[a];
    if (right >= kInf / 2) continue;
    const int* left = anyByEnd + static_cast<std::size_t>(a - 1) * stride;
    for (int block = 0; block <= a - kMinStem; block += kBlock) {
      for (int i = block; i < block + kBlock; ++i) several[i] = std::min(several[i], left[i] + right);
    }
  }
}

// Sums that include an impossible structure stay near kInf; this puts them back.
int Bounded(int energy) { return energy > kInf / 2 ? kInf : energy; }

// Every table of pairs p.q is stored by column, at q * stride + p: a column
// is contiguous, and the bounds below are built a column at a time.
class Folder {
 public:
  int Fold(std::string_view strand);

 private:
  int Type(int i, int j) const { return kPairType[pairs_[i]][pairs_[j]]; }
  std::size_t Cell(int p, int q) const { return static_cast<std::size_t>(q) * stride_ + static_cast<std::size_t>(p); }
  int* Column(std::vector<int>& table, int q) { return table.data() + Cell(0, q); }
  int Dangle5(int type, int k) const { return dangles_[k] ? kParameters.dangle5[type][looks_[k]] : kInf; }
  int Dangle3(int type, int k) const { return dangles_[k] ? kParameters.dangle3[type][looks_[k]] : kInf; }

  int Hairpin(int i, int j, int type) const;
  int SmallLoops(int i, int j, int type) const;
  int LargeLoops(int i, int j, int type, int best) const;
  int Multiloop(int i, int j) const;
  void Close(int i, int j, int type);
  void Bounds(int q);
  void Segments(int j);
  int Exterior(int from);

  int n_ = 0;
  std::size_t stride_ = 0;                             // cells per column, of a type the tables' stores cannot alias
  std::string strand_;                                 // the strand the tables hold
  std::vector<std::uint8_t> pairs_, looks_, dangles_;  // by position, as Encode gives them
  std::vector<int> closed_;                            // C(p, q)
  std::vector<int> closedInner_;  // C(p, q) plus its mismatch as the inner pair of an interior loop
  // Lower bounds for the loops closed by i.j: the least C(p, q') with
  // q' <= q (a bulge growing on the 3' side), with p' >= p (on the 5'
  // side), the least closedInner_(p, q') with q' <= q, and with p' >= p too.
  std::vector<int> rowClosed_, columnClosed_, rowInner_, cornerInner_;
  // The multiloop tables, by segment p..q.
  std::vector<int> owned_;      // one branch whose nucleotides and dangles are exactly p..q
  std::vector<int> ownedNext_;  // the same for p..q + 1 by a branch ending at q, kept at p, q
  std::vector<int> ownedFrom_;  // one branch owning from p, ending by q
  std::vector<int> several_;    // two or more branches
  std::vector<int> any_;        // one or more branches
  std::vector<int> prefix_;     // the exterior loop: the best energy of positions 0..k-1
  std::vector<int> dangling_;   // the same for 0..k + 1 with a stem ending at k dangling on k + 1
};

int Folder::Hairpin(int i, int j, int type) const {
  const Parameters& p = kParameters;
  const int u = j - i - 1;
  const int energy = u < static_cast<int>(kSizes.hairpin.size()) ? kSizes.hairpin[u] : LoopSizes::HairpinLength(u);
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
  auto c = [&](int p, int q) { return closed_[Cell(p, q)]; };
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
// `best` if none is better. Each search enlarges the loop step by step and
// stops where a lower bound of every larger loop reaches `best`.
int Folder::LargeLoops(int i, int j, int type, int best) const {
  const Parameters& par = kParameters;
  const int weak = WeakPair(type) ? par.terminalAU : 0;
  const int lowestWeak = weak + kSizes.weakLowest;
  auto bulge = [&](int p, int q) {
    const int u = p - i - 1 + j - q - 1;
    best = std::min(best, par.bulge[u] + weak + (WeakPair(Type(q, p)) ? par.terminalAU : 0) + closed_[Cell(p, q)]);
  };
  const int mismatch = par.mismatchInterior[type][looks_[i + 1]][looks_[j - 1]];
  // Too short to hold the smallest: a bulge of 3 around a pair with a hairpin of 3.
  if (j - i + 1 < kMinStem + 5) return best;
  const int bulges =
      kSizes.bulgeFrom[3] + lowestWeak + std::min(rowClosed_[Cell(i + 1, j - 4)], columnClosed_[Cell(i + 4, j - 1)]);
  const int interiors = kSizes.genericFromSide[1] + mismatch + cornerInner_[Cell(i + 2, j - 2)];
  if (std::min(bulges, interiors) >= best) return best;
  for (int q = j - 4; q >= std::max(i + kMinStem, j - 1 - kMaxLoop); --q) {
    if (kSizes.bulgeFrom[j - q - 1] + lowestWeak + rowClosed_[Cell(i + 1, q)] >= best) break;
    bulge(i + 1, q);
  }
  for (int p = i + 4; p <= std::min(i + 1 + kMaxLoop, j - kMinStem); ++p) {
    if (kSizes.bulgeFrom[p - i - 1] + lowestWeak + columnClosed_[Cell(p, j - 1)] >= best) break;
    bulge(p, j - 1);
  }
  for (int p = i + 2; p <= std::min(i + 1 + kMaxLoop, j - kMinStem - 1); ++p) {
    const int n1 = p - i - 1;
    if (kSizes.genericFromSide[n1] + mismatch + cornerInner_[Cell(p, j - 2)] >= best) break;
    const int firstQ = std::max(p + kMinStem - 1, j - 1 - (kMaxLoop - n1));
    for (int q = j - 1 - (n1 <= 2 ? 3 : 1); q >= firstQ; --q) {
      const int n2 = j - q - 1;
      if (kSizes.genericFrom[n1][n2] + mismatch + rowInner_[Cell(p, q)] >= best) break;
      best = std::min(best, kSizes.generic[n1][n2] + mismatch + closedInner_[Cell(p, q)]);
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
  auto several = [&](int p, int q) { return several_[Cell(p, q)]; };
  const int inside = std::min(
      {several(i + 1, j - 1), several(i + 2, j - 1) + d3, several(i + 1, j - 2) + d5, several(i + 2, j - 2) + d3 + d5});
  return base + inside;
}

// C(i, j) for a pair i.j, and what the loops around it look up.
void Folder::Close(int i, int j, int type) {
  const int c =
      Bounded(LargeLoops(i, j, type, std::min({Hairpin(i, j, type), SmallLoops(i, j, type), Multiloop(i, j)})));
  if (c == kInf) return;
  closed_[Cell(i, j)] = c;
  const bool left = i > 0, right = j + 1 < n_;
  if (left && right) {
    closedInner_[Cell(i, j)] = c + kParameters.mismatchInterior[Type(j, i)][looks_[j + 1]][looks_[i - 1]];
  }
  // The pair as a multiloop branch: it owns i..j, and one position more on
  // each side where it takes the dangle.
  const int branch = c + kParameters.multiloopBranch + (WeakPair(type) ? kParameters.terminalAU : 0);
  const int d5 = left ? Dangle5(type, i - 1) : kInf, d3 = right ? Dangle3(type, j + 1) : kInf;
  auto own = [&](std::vector<int>& table, int p, int energy) {
    table[Cell(p, j)] = std::min(table[Cell(p, j)], energy);
  };
  own(owned_, i, branch);
  if (left) own(owned_, i - 1, branch + d5);
  if (right) own(ownedNext_, i, branch + d3);
  if (left && right) own(ownedNext_, i - 1, branch + d5 + d3);
}

// No structure yet in `count` cells.
void Infinite(int* __restrict cells, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) cells[k] = kInf;
}

// The running minimum of `from` and `previous` into `to`, over the first `count`.
void RunningMinimum(const int* __restrict from, const int* __restrict previous, int* __restrict to, int count) {
  for (int p = 0; p < count; ++p) to[p] = std::min(from[p], previous[p]);
}

// The loop bounds of column q, once its pairs are closed. Only pairs p.q
// with p <= q - kMinStem + 1 exist, and only those cells are ever read.
void Folder::Bounds(int q) {
  const int last = q - kMinStem + 1;
  const int* closed = Column(closed_, q);
  const int* inner = Column(closedInner_, q);
  int* row = Column(rowClosed_, q);
  int* rowInner = Column(rowInner_, q);
  RunningMinimum(closed, Column(rowClosed_, q - 1), row, last);
  RunningMinimum(inner, Column(rowInner_, q - 1), rowInner, last);
  row[last] = closed[last];  // the first column of its row
  rowInner[last] = inner[last];
  int* column = Column(columnClosed_, q);
  int* corner = Column(cornerInner_, q);
  column[last] = closed[last];
  corner[last] = rowInner[last];
  for (int p = last - 1; p >= 0; --p) {
    column[p] = std::min(closed[p], column[p + 1]);
    corner[p] = std::min(rowInner[p], corner[p + 1]);
  }
}

// The multiloop tables for the segments ending at j, once every pair inside is closed.
void Folder::Segments(int j) {
  int* ownedFrom = Column(ownedFrom_, j);
  const int* owned = Column(owned_, j);
  const int* ownedNext = Column(ownedNext_, j - 1);
  const int* previous = Column(ownedFrom_, j - 1);
  const int last = j - kMinStem + 1;
  for (int i = 0; i < last; ++i) ownedFrom[i] = std::min({owned[i], ownedNext[i], previous[i]});
  ownedFrom[last] = std::min(owned[last], ownedNext[last]);
  int* several = Column(several_, j);
  SplitMinimum(any_.data(), ownedFrom, stride_, j, several);
  int* any = Column(any_, j);
  for (int i = j - kMinStem + 1; i >= 0; --i) any[i] = std::min({several[i], ownedFrom[i], any[i + 1]});
}

// The exterior loop over positions `from` on, the entries before them kept.
int Folder::Exterior(int from) {
  const Parameters& p = kParameters;
  prefix_.resize(static_cast<std::size_t>(n_) + 1);
  dangling_.resize(static_cast<std::size_t>(n_));
  prefix_[0] = 0;
  for (int end = from; end < n_; ++end) {
    int bare = prefix_[end];  // a stem ends at `end`
    int dangling = kInf;      // a stem ends at `end`, dangling on end + 1
    const bool tail = end + 1 < n_ && dangles_[end + 1];
    const int* closed = Column(closed_, end);
    for (int i = 0; i <= end - kMinStem + 1; ++i) {
      if (closed[i] == kInf) continue;
      const int type = Type(i, end);
      int stem = prefix_[i];
      if (i > 0) stem = std::min(stem, prefix_[i - 1] + Dangle5(type, i - 1));
      stem += closed[i] + (WeakPair(type) ? p.terminalAU : 0);
      bare = std::min(bare, stem);
      if (tail) dangling = std::min(dangling, stem + p.dangle3[type][looks_[end + 1]]);
    }
    dangling_[end] = dangling;
    prefix_[end + 1] = std::min(bare, end > 0 ? dangling_[end - 1] : kInf);
  }
  return prefix_[n_];
}

// Everything inlined, and built for AVX2 too where the processor has it:
// the column loops and the minima vectorise.
__attribute__((flatten, target_clones("avx2", "default"))) int Folder::Fold(std::string_view strand) {
  n_ = static_cast<int>(strand.size());
  for (auto* codes : {&pairs_, &looks_, &dangles_}) codes->resize(strand.size());
  for (std::size_t k = 0; k < strand.size(); ++k) {
    const Position position = Encode(strand[k]);
    pairs_[k] = position.pairs;
    looks_[k] = position.looks;
    dangles_[k] = position.dangles;
  }
  // Column j depends on positions 0..j + 1 only: the columns of a strand
  // that starts like the previous one are kept, with the same layout.
  const std::size_t stride = (strand.size() + kColumnStep - 1) / kColumnStep * kColumnStep;
  const auto common =
      std::mismatch(strand.begin(), strand.end(), strand_.begin(), strand_.end()).first - strand.begin();
  const int kept = stride == stride_ ? std::max(0, static_cast<int>(common) - 1) : 0;
  strand_.assign(strand);
  stride_ = stride;
  const std::size_t cells = stride_ * strand.size();
  for (auto* table : {&closed_, &closedInner_, &rowClosed_, &columnClosed_, &rowInner_, &cornerInner_, &owned_,
                      &ownedNext_, &ownedFrom_, &several_, &any_}) {
    table->resize(cells);
  }
  // The tables written a column at a time need no clearing.
  for (auto* table : {&closed_, &closedInner_, &owned_, &ownedNext_, &any_}) {
    Infinite(Column(*table, kept), cells - Cell(0, kept));
  }
  for (int j = std::max(kept, kMinStem - 1); j < n_; ++j) {
    for (int i = j - kMinStem + 1; i >= 0; --i) {
      if (const int type = Type(i, j)) Close(i, j, type);
    }
    Bounds(j);
    Segments(j);
  }
  return Exterior(kept);
}

// The folders of the last few miRNAs: the hits of one miRNA share the
// columns of the reversed miRNA and the linker, and the scanner interleaves
// the hits of a group of miRNAs (one per vector lane, 32 at most). Up to
// about 180 kB a folder on hits of the usual size.
class RecentFolders {
 public:
  Folder& For(std::string_view mirna) {
    ++clock_;
    Entry* oldest = &entries_[0];
    for (Entry& entry : entries_) {
      if (entry.mirna == mirna) {
        entry.used = clock_;
        return entry.folder;
      }
      if (entry.used < oldest->used) oldest = &entry;
    }
    oldest->mirna.assign(mirna);
    oldest->used = clock_;
    return oldest->folder;
  }

 private:
  struct Entry {
    std::string mirna;
    std::uint64_t used = 0;
    Folder folder;
  };
  std::array<Entry, 40> entries_;
  std::uint64_t clock_ = 0;
};

}  // namespace

int MinimumFreeEnergy(std::string_view strand) {
  thread_local Folder folder;
  return folder.Fold(strand);
}

float HitEnergy(std::string_view mirna, std::string_view window) {
  thread_local std::string strand;
  strand.assign(mirna.rbegin(), mirna.rend());
  strand.append(kLinkerLength, kLinker);
  strand.append(window.rbegin(), window.rend());
  thread_local RecentFolders folders;
  return static_cast<float>(folders.For(mirna).Fold(strand)) / 100.0f;
}

}  // namespace velmora::fold
