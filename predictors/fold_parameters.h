#pragma once

// Nearest-neighbour free energies for folding at 30 °C, in 0.01 kcal/mol.
// The build generates the values from the Turner 1999 parameter file.
//
// Pair types: 0 no pair, 1 CG, 2 GC, 3 GU, 4 UG, 5 AU, 6 UA. Base codes:
// 0 N, 1 A, 2 C, 3 G, 4 U.

#include <cstdint>

namespace velmora::fold {

inline constexpr int kPairTypes = 7;
inline constexpr int kBases = 5;
inline constexpr int kMaxLoop = 30;  // unpaired nucleotides of the largest tabulated loop
inline constexpr int kInfinity = 10000000;
inline constexpr int kHexamers = 4096;  // six bases of ACGU, the first the most significant

// The pair type of two base codes; the parameter file numbers its pairs alike.
inline constexpr std::uint8_t kPairType[kBases][kBases] = {
    {0, 0, 0, 0, 0}, {0, 0, 0, 0, 5}, {0, 0, 0, 1, 0}, {0, 0, 2, 0, 3}, {0, 6, 0, 4, 0},
};

struct Parameters {
  int stack[kPairTypes][kPairTypes];
  int mismatchHairpin[kPairTypes][kBases][kBases];
  int mismatchInterior[kPairTypes][kBases][kBases];
  int dangle5[kPairTypes][kBases];
  int dangle3[kPairTypes][kBases];
  int int11[kPairTypes][kPairTypes][kBases][kBases];
  std::int16_t int21[kPairTypes][kPairTypes][kBases][kBases][kBases];
  std::int16_t int22[kPairTypes][kPairTypes][kBases][kBases][kBases][kBases];
  // The bonus of a hairpin of four unpaired nucleotides by the hexamer of
  // the loop and its closing pair (bases A 0 to U 3), 0 for most.
  std::int16_t tetraloop[kHexamers];
  int hairpin[kMaxLoop + 1];
  int bulge[kMaxLoop + 1];
  int interior[kMaxLoop + 1];
  int ninioSlope, ninioMax;
  int multiloopClosing, multiloopBranch;
  int terminalAU;
  double loopExtrapolation;
};

extern const Parameters kParameters;

}  // namespace velmora::fold
