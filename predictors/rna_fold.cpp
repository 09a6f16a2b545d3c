// Zuker-style dynamic programming over one strand. C(i, j) is the best
// energy of positions i..j closed by the pair i.j; the multiloop tables
// work on segments whose stems keep their dangling nucleotides inside the
// segment, which is what lets each unpaired nucleotide dangle only once.
//
// The tables are filled a column j at a time, and no cell of a column reads
// another cell of the same column: each column's loop runs over the rows
// that pair with j, the column's bases and neighbouring columns held fixed.
// A hit's columns of the miRNA and the linker are computed once per miRNA
// and kept apart, compactly, from the columns of its target window.

#include "predictors/rna_fold.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "predictors/fold_parameters.h"

namespace velmora::fold {
namespace {

constexpr int kInf = kInfinity;
constexpr int kMinHairpin = 3;
constexpr int kMinStem = kMinHairpin + 2;  // nucleotides of the smallest closed structure
constexpr int kTetraloop = 4;              // unpaired nucleotides of a hairpin that may earn a bonus
constexpr int kLinkerLength = 7;
constexpr int kSpan = 8;  // interior loop 5' sides taken at once, a vector's worth
using Span = int __attribute__((vector_size(kSpan * sizeof(int))));

// Pair type of two base codes.
bool WeakPair(int type) { return type > 2; }  // AU, UA, GU or UG: the terminal penalty applies

struct Position {
  std::uint8_t pairs;    // base code for pairing, 0 if the position never pairs
  std::uint8_t looks;    // base code in mismatch and dangle tables, 0 (N) if it never dangles
  std::uint8_t written;  // base code if written A, C, G or U (upper case), else 0: tetraloops match only those
};

Position Encode(char letter) {
  if (letter == kLinker) return {0, 3, 0};
  const auto written = static_cast<std::uint8_t>(std::string_view("ACGU").find(letter) + 1);  // 0 if not found
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  const auto found = std::string_view("ACGU").find(upper == 'T' ? 'U' : upper);
  if (found == std::string_view::npos) return {0, 0, 0};
  const auto code = static_cast<std::uint8_t>(found + 1);
  return {code, code, written};
}

// Loop terms that depend on the loop's size only, and lower bounds of them
// that grow with the loop: a search that enlarges the loop stops once the
// bound reaches the best structure known. Also the parameter tables in the
// forms the fold reads them.
struct LoopSizes {
  // Interior loops with three or more unpaired nucleotides on a side: the
  // length term and the asymmetry term, by the 3' side's length n2, then
  // the 5' side's n1; kInf where the loop is tabulated whole or too large,
  // and for a whole span past the largest.
  std::array<std::array<int, kMaxLoop + 1 + kSpan>, kMaxLoop + 1> generic{};
  // The least generic term of every loop with n or more on one side.
  std::array<int, kMaxLoop + 2> genericFromSide{};
  std::array<int, kMaxLoop + 2> bulgeFrom{};  // the least bulge[m] over m >= u
  std::array<int, 4 * kMaxLoop> hairpin{};    // the hairpin length term, no logarithm per loop
  std::array<int, kPairTypes> weak{};         // the terminal penalty by pair type
  // Dangles by pair type and base code, kInf for a position that never dangles (N).
  int dangle5[kPairTypes][kBases]{}, dangle3[kPairTypes][kBases]{};

  LoopSizes() {
    const Parameters& p = kParameters;
    for (auto& row : generic) row.fill(kInf);
    genericFromSide.fill(kInf);
    bulgeFrom.fill(kInf);
    for (int n2 = kMaxLoop; n2 >= 1; --n2) {
      genericFromSide[n2] = genericFromSide[n2 + 1];
      for (int n1 = kMaxLoop - n2; n1 >= 1; --n1) {
        if (n1 <= 2 && n2 <= 2) continue;  // tabulated whole, with the small loops
        generic[n2][n1] = p.interior[n1 + n2] + std::min(p.ninioMax, p.ninioSlope * std::abs(n1 - n2));
        genericFromSide[n2] = std::min(genericFromSide[n2], generic[n2][n1]);
      }
    }
    for (int u = kMaxLoop; u >= 1; --u) bulgeFrom[u] = std::min(bulgeFrom[u + 1], p.bulge[u]);
    for (int u = kMinHairpin; u < static_cast<int>(hairpin.size()); ++u) hairpin[u] = HairpinLength(u);
    for (int t = 0; t < kPairTypes; ++t) {
      weak[t] = WeakPair(t) ? p.terminalAU : 0;
      for (int b = 0; b < kBases; ++b) {
        dangle5[t][b] = b == 0 ? kInf : p.dangle5[t][b];
        dangle3[t][b] = b == 0 ? kInf : p.dangle3[t][b];
      }
    }
  }

  static int HairpinLength(int u) {
    const Parameters& p = kParameters;
    return u <= kMaxLoop ? p.hairpin[u]
                         : p.hairpin[kMaxLoop] + static_cast<int>(p.loopExtrapolation * std::log(u / 30.0));
  }
};
const LoopSizes kSizes;

// Column q of a table holds rows 0..q + 3 and more, to whole blocks: the
// small loops of column q + 3 read its row q + 3, an interior loop's span
// reads up to kSpan - 1 rows past the last pair q - kMinStem + 1, and the
// split below runs in whole blocks with no scalar remainder.
constexpr int kBlock = 16;
std::size_t Capacity(int q) { return static_cast<std::size_t>(q + 3 + kBlock) / kBlock * kBlock; }
static_assert(kSpan - kMinStem <= 3, "a span past a column's last pair stays in rows q + 3 and before");

// Two or more multiloop branches in i..j, for every i of one column j at
// once: the least any(i, a - 1) + from[a] over the split points a. The
// inner loop runs over i, contiguous and independent, in whole blocks: the
// cells past a - kMinStem hold no segment, stay near kInf and change
// nothing. Built for AVX2 where the processor has it.
__attribute__((target_clones("avx2", "default"))) void SplitMinimum(const int* const* any, const int* from, int j,
                                                                    int* several) {
  std::fill(several, several + Capacity(j), kInf);
  for (int a = kMinStem; a <= j - kMinStem + 1; ++a) {
    const int right = from[a];
    if (right >= kInf / 2) continue;
    const int* left = any[a - 1];
    for (int block = 0; block <= a - kMinStem; block += kBlock) {
      for (int i = block; i < block + kBlock; ++i) several[i] = std::min(several[i], left[i] + right);
    }
  }
}

// Sums that include an impossible structure stay near kInf; this puts them back.
int Bounded(int energy) { return energy > kInf / 2 ? kInf : energy; }

// The tables of pairs p.q, each a column q at a time.
enum Table {
  kClosed,       // C(p, q)
  kClosedWeak,   // C(p, q) plus its terminal penalty, as a bulge's inner pair
  kClosedInner,  // C(p, q) plus its mismatch as the inner pair of an interior loop
  // Lower bounds for the loops closed by i.j: the least kClosedWeak (p, q')
  // with q' <= q (a bulge growing on the 3' side), with p' >= p (on the 5'
  // side), the least kClosedInner (p, q') with q' <= q, and with p' >= p too.
  kRowWeak,
  kColumnWeak,
  kRowInner,
  kCornerInner,
  // The multiloop tables, by segment p..q.
  kOwned,      // one branch whose nucleotides and dangles are exactly p..q
  kOwnedNext,  // the same for p..q + 1 by a branch ending at q, kept at p, q
  kOwnedFrom,  // one branch owning from p, ending by q
  kSeveral,    // two or more branches
  kAny,        // one or more branches
  kTables
};
// The tables whose cells are read before they are written, or past a column's last pair.
constexpr Table kStartInfinite[] = {kClosed, kClosedWeak, kClosedInner, kOwned, kOwnedNext, kAny};

// The first columns of every table and of the exterior loop, for strands
// that share their first positions: column q depends on positions 0..q + 1.
struct Prefix {
  int columns = -1;  // -1 until computed
  std::vector<int> cells;
  std::vector<int> exterior, dangling;
};

class Folder {
 public:
  // The energy of `strand`; its first `prefix->columns` columns come from
  // `prefix`, computed there if it holds none yet.
  int Fold(std::string_view strand, Prefix* prefix, int prefixColumns);

 private:
  int* At(Table table, int q) const { return columns_[table][static_cast<std::size_t>(q)]; }
  void Place(Prefix* prefix, int prefixColumns);
  int Compute(int from) noexcept;  // the tables from column `from` on, once every one is allocated
  void Close(int j);
  int LargeLoops(int i, int j, int type, int best) const;
  void Bounds(int q);
  void Segments(int j);
  int Exterior(int from);

  int n_ = 0;
  // By position, as Encode gives them; not of a character type, so that the
  // stores to the tables are known not to change them.
  std::vector<std::int16_t> pairs_;
  std::vector<std::int16_t> looks_;
  std::vector<std::int16_t> written_;
  // The positions that pair with a base, by its code, in order.
  std::array<std::vector<int>, kBases> partners_;
  // The positions up to `end` - kMinStem + 1 that pair with position `end`, in order.
  std::span<const int> PartnersBefore(int end) const {
    const std::vector<int>& partners = partners_[pairs_[static_cast<std::size_t>(end)]];
    const auto stop = std::upper_bound(partners.begin(), partners.end(), end - kMinStem + 1);
    return {partners.begin(), stop};
  }
  std::vector<std::size_t> start_;  // where column q starts in a table, start_[n] its size
  std::vector<int> scratch_;        // the columns of no prefix
  std::array<std::vector<int*>, kTables> columns_;
  std::vector<int> exterior_;  // the exterior loop: the best energy of positions 0..k-1
  std::vector<int> dangling_;  // the same for 0..k + 1 with a stem ending at k dangling on k + 1
};

// Bulges of three or more and the other interior loops closed by i.j, or
// `best` if none is better. Each search enlarges the loop step by step and
// stops where a lower bound of every larger loop reaches `best`.
int Folder::LargeLoops(int i, int j, int type, int best) const {
  const Parameters& par = kParameters;
  // Too short to hold the smallest: a bulge of 3 around a pair with a hairpin of 3.
  if (j - i + 1 < kMinStem + 5) return best;
  const int weak = kSizes.weak[type];
  const int mismatch = par.mismatchInterior[type][looks_[i + 1]][looks_[j - 1]];
  int* const* rowWeak = columns_[kRowWeak].data();
  int* const* closedWeak = columns_[kClosedWeak].data();
  int* const* cornerInner = columns_[kCornerInner].data();
  int* const* closedInner = columns_[kClosedInner].data();
  const int* columnWeak = At(kColumnWeak, j - 1);
  const int* weak5 = At(kClosedWeak, j - 1);
  const int bulges = kSizes.bulgeFrom[3] + weak + std::min(rowWeak[j - 4][i + 1], columnWeak[i + 4]);
  const int interiors = kSizes.genericFromSide[1] + mismatch + cornerInner[j - 2][i + 2];
  if (std::min(bulges, interiors) >= best) return best;
  // Bulges on the 3' side, the inner pair i + 1.q, and on the 5' side, p.j - 1.
  for (int q = j - 4, u = 3, lastQ = std::max(i + kMinStem, j - 1 - kMaxLoop); q >= lastQ; --q, ++u) {
    if (kSizes.bulgeFrom[u] + weak + rowWeak[q][i + 1] >= best) break;
    best = std::min(best, par.bulge[u] + weak + closedWeak[q][i + 1]);
  }
  for (int p = i + 4, u = 3, lastP = std::min(i + 1 + kMaxLoop, j - kMinStem); p <= lastP; ++p, ++u) {
    if (kSizes.bulgeFrom[u] + weak + columnWeak[p] >= best) break;
    best = std::min(best, par.bulge[u] + weak + weak5[p]);
  }
  // The other interior loops, a 3' side at a time: the inner pairs p.q of
  // one, q = j - 1 - n2, lie in order down column q, and every 5' side n1
  // is taken at once, in whole spans. Past the last, the span reads the
  // column's empty rows and the infinite sizes.
  const int lastN2 = std::min(kMaxLoop - 1, j - i - kMinStem - 2);
  for (int n2 = 1; n2 <= lastN2; ++n2) {
    const int q = j - 1 - n2;
    if (kSizes.genericFromSide[n2] + mismatch + cornerInner[q][i + 2] >= best) break;
    const int* inner = closedInner[q] + i + 1;  // by n1
    const int* generic = kSizes.generic[n2].data();
    const int lastN1 = std::min(kMaxLoop - n2, q - kMinStem - i);
    Span least = Span{} + kInf;
    for (int n1 = 1; n1 <= lastN1; n1 += kSpan) {
      Span sizes, energies;
      std::memcpy(&sizes, generic + n1, sizeof sizes);
      std::memcpy(&energies, inner + n1, sizeof energies);
      const Span sum = sizes + energies;
      least = sum < least ? sum : least;
    }
    // The least of the span, by halves.
    static_assert(kSpan == 8, "three halvings");
    Span other = __builtin_shufflevector(least, least, 4, 5, 6, 7, 0, 1, 2, 3);
    least = other < least ? other : least;
    other = __builtin_shufflevector(least, least, 2, 3, 0, 1, 2, 3, 0, 1);
    least = other < least ? other : least;
    other = __builtin_shufflevector(least, least, 1, 0, 1, 0, 1, 0, 1, 0);
    least = other < least ? other : least;
    best = std::min(best, mismatch + least[0]);
  }
  return best;
}

// C(i, j) for every pair i.j of column j, and what the loops around them
// look up. Every loop closed by i.j reads only columns before j.
void Folder::Close(int j) {
  const Parameters& par = kParameters;
  const std::int16_t* pairs = pairs_.data();
  const std::int16_t* looks = looks_.data();
  const int pj = pairs[j];
  const std::uint8_t* typeWith = kPairType[pj];  // Type(j, i) by pairs[i]
  // Inner pairs p.q typed as q.p, by pairs[p].
  const std::uint8_t* inner1 = kPairType[pairs[j - 1]];
  const std::uint8_t* inner2 = kPairType[pairs[j - 2]];
  const std::uint8_t* inner3 = kPairType[pairs[j - 3]];
  const int j1 = looks[j - 1], j2 = looks[j - 2];
  const int* __restrict c1 = At(kClosed, j - 1);
  const int* __restrict c2 = At(kClosed, j - 2);
  const int* __restrict c3 = At(kClosed, j - 3);
  const int* __restrict w1 = At(kClosedWeak, j - 1);
  const int* __restrict w3 = At(kClosedWeak, j - 3);
  const int* __restrict s1 = At(kSeveral, j - 1);
  const int* __restrict s2 = At(kSeveral, j - 2);
  int* __restrict closed = At(kClosed, j);
  int* __restrict closedWeak = At(kClosedWeak, j);
  int* __restrict closedInner = At(kClosedInner, j);
  int* __restrict owned = At(kOwned, j);
  int* __restrict ownedNext = At(kOwnedNext, j);
  const bool right = j + 1 < n_;
  const int jr = right ? looks[j + 1] : 0;
  // The bonus of a hairpin of four closed by j - 5 and j, if its six letters
  // are a listed tetraloop as written: not in lower case, and not with T for U.
  int tetraloop = 0;
  if (j > kTetraloop) {
    int hexamer = 0, bases = 1;
    for (int k = j - kTetraloop - 1; k <= j; ++k) {
      hexamer = hexamer * 4 + std::max(written_[static_cast<std::size_t>(k)] - 1, 0);
      bases &= written_[static_cast<std::size_t>(k)] != 0;
    }
    tetraloop = bases ? par.tetraloop[hexamer] : 0;
  }
  for (const int i : PartnersBefore(j)) {
    const int type = kPairType[pairs[i]][pj];
    const int i1 = looks[i + 1], i2 = looks[i + 2];
    const int weak = kSizes.weak[type];
    // The hairpin.
    const int u = j - i - 1;
    int best = (u < static_cast<int>(kSizes.hairpin.size()) ? kSizes.hairpin[u] : LoopSizes::HairpinLength(u)) +
               (u == kMinHairpin ? weak : par.mismatchHairpin[type][i1][j1]) + (u == kTetraloop ? tetraloop : 0);
    // The stack and the loops with at most two unpaired nucleotides a side.
    // An impossible inner pair has type 0 and an infinite C.
    best = std::min(best, par.stack[type][inner1[pairs[i + 1]]] + c1[i + 1]);
    best = std::min(best, par.bulge[1] + par.stack[type][inner1[pairs[i + 2]]] + c1[i + 2]);
    best = std::min(best, par.bulge[1] + par.stack[type][inner2[pairs[i + 1]]] + c2[i + 1]);
    best = std::min(best, par.bulge[2] + weak + w1[i + 3]);
    best = std::min(best, par.bulge[2] + weak + w3[i + 1]);
    best = std::min(best, par.int11[type][inner2[pairs[i + 2]]][i1][j1] + c2[i + 2]);
    best = std::min(best, par.int21[type][inner3[pairs[i + 2]]][i1][j2][j1] + c3[i + 2]);
    best = std::min(best, par.int21[inner2[pairs[i + 3]]][type][j1][i1][i2] + c2[i + 3]);
    best = std::min(best, par.int22[type][inner3[pairs[i + 3]]][i1][i2][j2][j1] + c3[i + 3]);
    // The multiloop, the closing pair seen from inside.
    if (u >= 2 * kMinStem) {
      const int closing = typeWith[pairs[i]];
      const int d3 = kSizes.dangle3[closing][i1], d5 = kSizes.dangle5[closing][j1];
      const int inside = std::min({s1[i + 1], s1[i + 2] + d3, s2[i + 1] + d5, s2[i + 2] + d3 + d5});
      best = std::min(best, par.multiloopClosing + par.multiloopBranch + kSizes.weak[closing] + inside);
    }
    const int c = Bounded(LargeLoops(i, j, type, best));
    if (c == kInf) continue;
    closed[i] = c;
    closedWeak[i] = c + weak;
    const bool left = i > 0;
    if (left && right) closedInner[i] = c + par.mismatchInterior[typeWith[pairs[i]]][jr][looks[i - 1]];
    // The pair as a multiloop branch: it owns i..j, and one position more on
    // each side where it takes the dangle.
    const int branch = c + par.multiloopBranch + weak;
    const int d5 = left ? kSizes.dangle5[type][looks[i - 1]] : kInf;
    const int d3 = right ? kSizes.dangle3[type][jr] : kInf;
    owned[i] = std::min(owned[i], branch);
    if (left) owned[i - 1] = std::min(owned[i - 1], branch + d5);
    if (right) ownedNext[i] = std::min(ownedNext[i], branch + d3);
    if (left && right) ownedNext[i - 1] = std::min(ownedNext[i - 1], branch + d5 + d3);
  }
}

// The running minimum of `from` and `previous` into `to`, over the first `count`.
void RunningMinimum(const int* __restrict from, const int* __restrict previous, int* __restrict to, int count) {
  for (int p = 0; p < count; ++p) to[p] = std::min(from[p], previous[p]);
}

// The loop bounds of column q, once its pairs are closed. Only pairs p.q
// with p <= q - kMinStem + 1 exist, and only those cells are ever read.
void Folder::Bounds(int q) {
  const int last = q - kMinStem + 1;
  const int* weak = At(kClosedWeak, q);
  const int* inner = At(kClosedInner, q);
  int* row = At(kRowWeak, q);
  int* rowInner = At(kRowInner, q);
  RunningMinimum(weak, At(kRowWeak, q - 1), row, last);
  RunningMinimum(inner, At(kRowInner, q - 1), rowInner, last);
  row[last] = weak[last];  // the first column of its row
  rowInner[last] = inner[last];
  int* column = At(kColumnWeak, q);
  int* corner = At(kCornerInner, q);
  for (int p = last, leastWeak = kInf, leastInner = kInf; p >= 0; --p) {
    column[p] = leastWeak = std::min(weak[p], leastWeak);
    corner[p] = leastInner = std::min(rowInner[p], leastInner);
  }
}

// The multiloop tables for the segments ending at j, once every pair inside is closed.
void Folder::Segments(int j) {
  int* ownedFrom = At(kOwnedFrom, j);
  const int* owned = At(kOwned, j);
  const int* ownedNext = At(kOwnedNext, j - 1);
  const int* previous = At(kOwnedFrom, j - 1);
  const int last = j - kMinStem + 1;
  for (int i = 0; i < last; ++i) ownedFrom[i] = std::min({owned[i], ownedNext[i], previous[i]});
  ownedFrom[last] = std::min(owned[last], ownedNext[last]);
  int* several = At(kSeveral, j);
  SplitMinimum(columns_[kAny].data(), ownedFrom, j, several);
  int* any = At(kAny, j);
  for (int i = last, least = kInf; i >= 0; --i) any[i] = least = std::min({several[i], ownedFrom[i], least});
}

// The exterior loop over positions `from` on, the entries before them kept.
int Folder::Exterior(int from) {
  const Parameters& p = kParameters;
  exterior_[0] = 0;
  for (int end = from; end < n_; ++end) {
    int bare = exterior_[end];  // a stem ends at `end`
    int dangling = kInf;        // a stem ends at `end`, dangling on end + 1
    const int tail = end + 1 < n_ ? looks_[end + 1] : 0;
    const int* closed = At(kClosed, end);
    for (const int i : PartnersBefore(end)) {
      if (closed[i] == kInf) continue;
      const int type = kPairType[pairs_[i]][pairs_[end]];
      int stem = exterior_[i];
      if (i > 0) stem = std::min(stem, exterior_[i - 1] + kSizes.dangle5[type][looks_[i - 1]]);
      stem += closed[i] + kSizes.weak[type];
      bare = std::min(bare, stem);
      if (tail) dangling = std::min(dangling, stem + p.dangle3[type][tail]);
    }
    dangling_[end] = dangling;
    exterior_[end + 1] = std::min(bare, end > 0 ? dangling_[end - 1] : kInf);
  }
  return exterior_[n_];
}

// Points every table's columns into the prefix, then into the scratch space.
void Folder::Place(Prefix* prefix, int prefixColumns) {
  const auto n = static_cast<std::size_t>(n_);
  for (auto q = start_.size(); q <= n; ++q)
    start_.push_back(q == 0 ? 0 : start_[q - 1] + Capacity(static_cast<int>(q) - 1));
  const auto kept = static_cast<std::size_t>(prefixColumns);
  const std::size_t prefixCells = start_[kept], scratchCells = start_[n] - prefixCells;
  if (prefix != nullptr && prefix->columns != prefixColumns) prefix->cells.resize(kTables * prefixCells);
  scratch_.resize(kTables * scratchCells);
  for (std::size_t t = 0; t < kTables; ++t) {
    columns_[t].resize(n);
    for (std::size_t q = 0; q < n; ++q) {
      columns_[t][q] = q < kept ? prefix->cells.data() + t * prefixCells + start_[q]
                                : scratch_.data() + t * scratchCells + start_[q] - prefixCells;
    }
  }
}

int Folder::Fold(std::string_view strand, Prefix* prefix, int prefixColumns) {
  n_ = static_cast<int>(strand.size());
  pairs_.resize(strand.size());
  looks_.resize(strand.size());
  written_.resize(strand.size());
  for (std::size_t k = 0; k < strand.size(); ++k) {
    const Position position = Encode(strand[k]);
    pairs_[k] = position.pairs;
    looks_[k] = position.looks;
    written_[k] = position.written;
  }
  // Without a branch per position and base: whether they pair is unpredictable.
  std::array<std::size_t, kBases> found{};
  for (std::vector<int>& partners : partners_) partners.resize(strand.size());
  for (int k = 0; k < n_; ++k) {
    const std::uint8_t* types = kPairType[pairs_[static_cast<std::size_t>(k)]];
    for (std::size_t b = 0; b < kBases; ++b) {
      partners_[b][found[b]] = k;
      found[b] += types[b] != 0;
    }
  }
  for (std::size_t b = 0; b < kBases; ++b) partners_[b].resize(found[b]);
  Place(prefix, prefixColumns);
  exterior_.resize(strand.size() + 1);
  dangling_.resize(strand.size());
  const bool reuse = prefix != nullptr && prefix->columns == prefixColumns;
  const int from = reuse ? prefixColumns : 0;
  if (reuse) {
    std::copy(prefix->exterior.begin(), prefix->exterior.end(), exterior_.begin());
    std::copy(prefix->dangling.begin(), prefix->dangling.end(), dangling_.begin());
  }
  const int energy = Compute(from);
  if (prefix != nullptr && !reuse) {
    prefix->columns = prefixColumns;
    prefix->exterior.assign(exterior_.begin(), exterior_.begin() + prefixColumns + 1);
    prefix->dangling.assign(dangling_.begin(), dangling_.begin() + prefixColumns);
  }
  return energy;
}

// Everything inlined, and built for AVX2 too where the processor has it:
// the column loops and the minima vectorise. Nothing here may throw: GCC
// takes a call through the clones' dispatcher not to, so an exception
// through it (an allocation that fails) would end the program.
__attribute__((flatten, target_clones("avx2", "default"))) int Folder::Compute(int from) noexcept {
  for (int j = from; j < n_; ++j) {
    for (Table table : kStartInfinite) std::fill_n(At(table, j), Capacity(j), kInf);
    if (j < kMinStem - 1) continue;
    Close(j);
    Bounds(j);
    Segments(j);
  }
  return Exterior(from);
}

// The shared columns of the last few miRNAs' hits: the reversed miRNA and
// the linker. The scanner interleaves the hits of a group of miRNAs (one per
// vector lane, 32 at most); about 35 kB a miRNA of the usual length.
class RecentPrefixes {
 public:
  Prefix& For(std::string_view mirna) {
    ++clock_;
    Entry* oldest = &entries_[0];
    for (Entry& entry : entries_) {
      if (entry.mirna == mirna) {
        entry.used = clock_;
        return entry.prefix;
      }
      if (entry.used < oldest->used) oldest = &entry;
    }
    oldest->mirna.assign(mirna);
    oldest->used = clock_;
    oldest->prefix.columns = -1;
    return oldest->prefix;
  }

 private:
  struct Entry {
    std::string mirna;
    std::uint64_t used = 0;
    Prefix prefix;
  };
  std::array<Entry, 40> entries_;
  std::uint64_t clock_ = 0;
};

}  // namespace

int MinimumFreeEnergy(std::string_view strand) {
  thread_local Folder folder;
  return folder.Fold(strand, nullptr, 0);
}

float HitEnergy(std::string_view mirna, std::string_view window) {
  thread_local std::string strand;
  strand.assign(mirna.rbegin(), mirna.rend());
  strand.append(kLinkerLength, kLinker);
  strand.append(window.rbegin(), window.rend());
  thread_local Folder folder;
  thread_local RecentPrefixes prefixes;
  // Column q depends on positions 0..q + 1: the columns before the last
  // linker position are the same for every hit of the miRNA.
  const int shared = static_cast<int>(mirna.size()) + kLinkerLength - 1;
  return static_cast<float>(folder.Fold(strand, &prefixes.For(mirna), shared)) / 100.0f;
}

}  // namespace velmora::fold
