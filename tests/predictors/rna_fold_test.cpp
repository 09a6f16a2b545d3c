#include "predictors/rna_fold.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "predictors/fold_parameters.h"

namespace velmora::fold {
namespace {

// Hits of the scanner with the energies the original reports for them.
TEST(HitEnergy, ReproducesReportedHits) {
  struct Case {
    const char* mirna;
    const char* window;
    double energy;
  };
  const Case cases[] = {
      {"GUCCCUCUCCAAAUGUGUCUUG", "ACGGCGGAGAGCAGAGAGGGAG", -19.20},
      {"GUCCCUCUCCAAAUGUGUCUUG", "AGUGGGGAGUGGAGAGAGGGAG", -18.72},
      {"CUAUACAAUCUAUUGCCUUCCC", "UCUUGUUGUCCCCUUUGUAUAU", -3.26},
      {"UGGCAGGGAGGCUGGGAGGGG", "GACAUGGAAGCCUCCCCUGCCA", -26.86},
      {"UGGCAGGGAGGCUGGGAGGGG", "GACAUGGAAGCCUCCCCUGCCC", -24.18},
      {"GCUGACUCCUAGUCCAGGGCUC", "AAAUCUUCCUAAAAGAGUCAGN", -13.11},
      {"UCCCUGUCCUCCAGGAGCUCACG", "NNNNNNNGGAGUUAGCGACAGGGA", -21.44},
      {"AGCAGAAGCAGGGAGGUUCUCCCA", "GCAGCCAGCGCAGGGGCUUCUGCU", -24.17},
      {"ACCCGUCCCGUUCGUCCCCGGA", "GCUCGGGGCGGCCGGGACGAGG", -38.56},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(HitEnergy(c.mirna, c.window), c.energy, 0.005) << c.mirna << " / " << c.window;
  }
}

// Small strands whose best structure is one loop of a kind, the energies
// summed by hand from the 30 °C tables (0.01 kcal/mol). Stems are G.C
// pairs: each GG/CC stack is stack[GC][CG] = -352; the hairpin AAAA closed
// by G.C is hairpin[4] 547 + mismatch_hairpin[GC][A][A] -119 = 428.
TEST(MinimumFreeEnergy, OneLoopOfEachKind) {
  struct Case {
    const char* name;
    std::string strand;
    int energy;
  };
  const Case cases[] = {
      {"hairpin of 3", "GGGAAACCC", -147},                                // 2 stacks + hairpin[3] 557, no mismatch
      {"hairpin of 4", "GGGAAAACCC", -276},                               // 2 stacks + 428
      {"hairpin of 32", "GGGGG" + std::string(32, 'A') + "CCCCC", -770},  // 4 stacks + hairpin[30] 751 + 6 + -119
      {"bulge of 1", "GGGAGGAAAACCCCC", -609},     // 3 stacks + bulge[1] 371 + its stack -352 + 428
      {"bulge of 2", "GGGNNAGGAAAACCUCCC", -533},  // 3 stacks + bulge[2] 273 + 50 (U.A) + stack[AU][CG] -228 + 428
      {"1x1", "GGGAGGAAAACCACCC", -589},           // 3 stacks + int11[GC][CG][A][A] 39 + 428
      {"1x2", "CGGAGGAAAACCAACCG", -325},          // stack[CG][CG] -258 + 2 stacks + int21[GC][CG][A][A][A] 209 + 428
      {"2x1", "GGGAAGGAAAACCACCC", -439},          // 3 stacks + int21[CG][GC][A][A][A] 189 + 428
      {"2x2", "GGGAAGGAAAACCAACCC", -615},         // 3 stacks + int22[GC][CG][A][A][A][A] 13 + 428
      // 3 stacks + interior[5] 175 + 48 x |2 - 3| + mismatch_interior[GC][A][A] -11 + [CG][A][A] -23 + 428
      {"2x3", "GGGAAGGAAAACCAAACCC", -439},
      {"1x4", "GGGAGGAAAACCAAAACCC", -343},  // as 2x3 with the asymmetry 48 x 3
      // Closing helix 3 stacks + 332 + 39 x 3, two branches of 3 stacks + 428; each A between two stems
      // dangles on one: A4 dangle3[CG][A] -124 (not dangle5[GC][A] -23), A17 dangle3[GC][A] -186, A30 the same
      // (not dangle5[CG][A] -54).
      {"multiloop", "GGGGAGGGGAAAACCCCAGGGGAAAACCCCACCCC", -2359},
      {"dangles at both ends", "AGGGAAAACCCA", -485},  // 2 stacks + 428 + dangle5[GC][A] -23 + dangle3[GC][A] -186
      {"one nucleotide between stems", "GGGAAAACCCAGGGAAAACCC", -738},  // 2 x (2 stacks + 428) + -186 once
      {"terminal A.U", "AGGGAAAACCCU", -454},                           // 50 + stack[AU][CG] -228 + 2 stacks + 428
      {"N never dangles", "NGGGAAAACCCN", -276},
      {"N in a mismatch", "GGGAAANCCC", -226},        // 2 stacks + 547 + mismatch_hairpin[GC][A][N] -69
      {"linker dangles as G", "_GGGAAAACCC_", -471},  // 2 stacks + 428 + dangle5[GC][G] -10 + dangle3[GC][G] -185
      {"linker in a hairpin", "GGG_AAA_CCC", -307},   // 2 stacks + hairpin[5] 547 + mismatch_hairpin[GC][G][G] -150
      // The 2x2 table has no N entries: the least favourable of int22[GC][CG][A][A..U][A][A] (13, 25, -34, 160).
      {"N in a 2x2 loop", "GGGANGGAAAACCAACCC", -468},  // 3 stacks + 160 + 428
      // Longer than one 64-position word of the pair bit tables; N on both sides changes nothing.
      {"long strand", std::string(40, 'N') + "GGGGAGGGGAAAACCCCAGGGGAAAACCCCACCCC" + std::string(40, 'N'), -2359},
      {"nothing pairs", "AAAAAAAAAA", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(MinimumFreeEnergy(c.strand), c.energy) << c.name;
}

// Hits of the 1 Mnt synthetic benchmark set, the energies (0.01 kcal/mol)
// as the scanner printed them when every fold started from empty tables:
// the longest strands, N positions, the weakest and the strongest folds.
TEST(HitEnergy, KeepsEarlierScannerEnergies) {
  struct Case {
    const char* mirna;
    const char* window;
    int energy;
  };
  const Case cases[] = {
      {"CACTGTAGGTGATGGTGAGAGTGGGCA", "TGCTCCCTTTCCGAAAACCATTTTCCATCTGCAGTG", -3353},
      {"CACTGTAGGTGATGGTGAGAGTGGGCA", "TACCCACTCTCTGACCAAATCCTTCATACAGTT", -3215},
      {"CACTGTAGGTGATGGTGAGAGTGGGCA", "GCAAAATTGTCAGCATTTCAGGGGCCTGCAGTA", -2243},
      {"GTCCCTCTCCAAATGTGTCTTG", "NNNGGCACTTGTGGGGGGGAGGGAG", -2313},
      {"CCTCCAAAGGGAAGCGCTTTCTGTT", "ACTTTAAGGCACTGTCTTTTTGGANN", -1736},
      {"GTCCCTCTCCAAATGTGTCTTG", "GGATACATATTTTGGGGTGCTCAGAGGGAA", -2251},
      {"ATCCTTGCTATCTGGGTGCTA", "GAACAGTCGGGCAAGGAT", -1895},
      {"TAAGTGCTTCCATGTTTGAGTGT", "TTACTCAGGGGACCTTTATCAGCACTTT", -1862},
      {"TAGATAAAATATTGGTACCTG", "ATTCTTTTTTCTTTTTATCTC", -461},
      {"GGGGGGGCAGGAGGGGCTCAGGG", "TCCTGGGCCCCATGCCTGACCCCCT", -4480},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HitEnergy(c.mirna, c.window), static_cast<float>(c.energy) / 100.0f) << c.mirna << " / " << c.window;
  }
}

// A fold reuses the tables of earlier ones: the columns a hit shares with
// the miRNA's earlier hits, and the space of the previous strand. Each
// energy must be the one of the whole strand folded on a thread of its own,
// whatever came before.
TEST(HitEnergy, SameAsTheWholeStrandWhateverCameBefore) {
  const std::string mirna = "GCUGACUCCUAGUCCAGGGCUC";
  const std::string stem = "GGGGAGGGGAAAACCCCAGGGGAAAACCCCACCCC";
  struct Case {
    const char* name;
    std::string earlierWindow, window;
  };
  const Case cases[] = {
      {"another window", "AAAUCUUCCUAAAAGAGUCAGN", "GCAGCCAGCGCAGGGGCUUCUGCU"},
      {"the same window again", "AAAUCUUCCUAAAAGAGUCAGN", "AAAUCUUCCUAAAAGAGUCAGN"},
      {"one nucleotide", stem, "G"},
      {"no window", stem, ""},
      {"a window after none", "", stem},
      {"past one block of columns", "ACG", stem + stem},
      {"shorter than the earlier one", stem + stem, "GAGCCCUGGACU"},
  };
  const auto whole = [&](const std::string& window) {
    const std::string strand = std::string(mirna.rbegin(), mirna.rend()) + std::string(7, kLinker) +
                               std::string(window.rbegin(), window.rend());
    return std::async(std::launch::async, [&] { return MinimumFreeEnergy(strand); }).get();
  };
  for (const Case& c : cases) {
    HitEnergy(mirna, c.earlierWindow);
    EXPECT_EQ(HitEnergy(mirna, c.window), static_cast<float>(whole(c.window)) / 100.0f) << c.name;
  }
}

// The space of a longer or a shorter strand before changes nothing.
TEST(MinimumFreeEnergy, SameAfterAnyEarlierStrand) {
  const std::string stem = "GGGGAGGGGAAAACCCCAGGGGAAAACCCCACCCC";
  const std::string hit = "GCUGACUCCUAGUCCAGGGCUC_______AAAUCUUCCUAAAAGAGUCAGN";
  const std::pair<std::string, std::string> cases[] = {
      {stem + stem + hit, stem}, {stem, hit + stem}, {hit, hit}, {"", stem}, {stem, ""},
  };
  for (const auto& [earlier, strand] : cases) {
    const int alone = std::async(std::launch::async, [&] { return MinimumFreeEnergy(strand); }).get();
    MinimumFreeEnergy(earlier);
    EXPECT_EQ(MinimumFreeEnergy(strand), alone) << earlier << " then " << strand;
  }
}

// Hits of many miRNAs interleaved, as the scanner folds a group of them
// target by target: each energy is the one the hit gets on its own.
TEST(HitEnergy, SameWhenMirnasInterleave) {
  const std::vector<std::string> windows = {"ACGGCGGAGAGCAGAGAGGGAG", "UCUUGUUGUCCCCUUUGUAUAU",
                                            "GACAUGGAAGCCUCCCCUGCCA"};
  std::vector<std::string> mirnas;
  for (int k = 0; k < 50; ++k) {  // more miRNAs than the scanner's lanes
    std::string mirna = "GUCCCUCUCCAAAUGUGUCUUG";
    mirna[static_cast<std::size_t>(k % 22)] = "ACGU"[k % 4];
    mirna[static_cast<std::size_t>((k / 4) % 22)] = "UGCA"[k % 3];
    mirnas.push_back(mirna);
  }
  std::vector<float> alone;
  for (const std::string& window : windows) {
    for (const std::string& mirna : mirnas) {
      alone.push_back(std::async(std::launch::async, [&] { return HitEnergy(mirna, window); }).get());
    }
  }
  std::size_t k = 0;
  for (const std::string& window : windows) {
    for (const std::string& mirna : mirnas) EXPECT_EQ(HitEnergy(mirna, window), alone[k++]) << mirna << " / " << window;
  }
}

// The generated tables, checked against the parameter file by hand: with
// f = 303.15 / 310.15, tables with enthalpies give trunc(H - (H - G) f), the
// loop lengths and multiloop terms trunc(G f).
TEST(Parameters, RescaledTo30Degrees) {
  const Parameters& p = kParameters;
  struct Case {
    const char* entry;
    int value, expected;
  };
  const Case cases[] = {
      {"stack[CG][CG]: G -240, H -1060", p.stack[1][1], -258},
      {"stack[GU][GU]: G 130, H -1460", p.stack[3][3], 94},
      {"dangle5[UA][C]: G -10, H 690, above 0 at 30 degrees", p.dangle5[6][2], 5},
      {"dangle3[CG][A]: G -110, H -740", p.dangle3[1][1], -124},
      {"int11[GC][CG][A][A]: G 40, H 0", p.int11[2][1][1][1], 39},
      {"hairpin[3]: 570", p.hairpin[3], 557},
      {"bulge[1]: 380", p.bulge[1], 371},
      {"interior[4]: 170", p.interior[4], 166},
      {"multiloop closing: 340", p.multiloopClosing, 332},
      {"multiloop branch: 40", p.multiloopBranch, 39},
      {"Ninio slope: 50", p.ninioSlope, 48},
      {"Ninio maximum, unchanged", p.ninioMax, 300},
      {"terminal AU, unchanged", p.terminalAU, 50},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value, c.expected) << c.entry;
  EXPECT_NEAR(p.loopExtrapolation, 107.856 * 303.15 / 310.15, 1e-12);
}

}  // namespace
}  // namespace velmora::fold
