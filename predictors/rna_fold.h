#pragma once

// Minimum free energy folding of one short RNA strand (nearest-neighbour
// model, Turner 1999 values at 30 °C), and the energy the scanner reports
// for a hit.

#include <string_view>

namespace velmora::fold {

// A position that never pairs and reads as G where its neighbours' loop
// energies look at it; joins the miRNA to the target window.
inline constexpr char kLinker = '_';

// The lowest free energy, in 0.01 kcal/mol, over the secondary structures
// of `strand` (5' to 3'; ACGU or T in either case, kLinker, anything else an
// N), the empty structure included: never above 0. A hairpin of four earns
// its tetraloop bonus only when its six letters are written as listed: upper
// case, U and not T.
int MinimumFreeEnergy(std::string_view strand);

// The energy of a hit, in kcal/mol: the fold of the reversed miRNA, seven
// linker positions and the reversed target window, each written as the hit's
// Query and Ref lines write them (aligned letters in upper case, the
// unaligned ends in lower case), without gaps.
float HitEnergy(std::string_view mirna, std::string_view window);

}  // namespace velmora::fold
