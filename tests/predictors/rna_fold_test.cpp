#include "predictors/rna_fold.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "predictors/fold_parameters.h"

namespace velmora::fold {
namespace {

// Hits with the energies the original reports for them, then hits of the 1 Mnt
// synthetic benchmark set with those the scanner printed when every fold started
// from empty tables (the longest strands, N, the weakest and the strongest folds;
// -23.27 gained a tetraloop since), written as the Query and Ref lines write them.
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
      // Tetraloops: the window's GGGGAC closed by a lone pair in a multiloop, and CGCAAG capping a stem.
      {"cTTATCAGATTGTATTGTAAtt", "ttTTGCAGTACAGCAGGGGTGCTGATAAc", -19.20},
      {"caCTCAGCCTTGAGGGCACTTtc", "ccAGGAACGCTTGGAGGCTGAGga", -25.42},
      {"CACTGTAGGTGATGGTGAGAGTGGGCA", "TGCTCCCTTTCCGAAAACCATTTTCCATCTGCAGTG", -33.53},
      {"CACTGTAGGTGATGGTGAGAGTGGGCA", "TACCCACTCTCTGACCAAATCCTTCATACAGTT", -32.15},
      {"CACTGTAGGTGATGGTGAGAGTGGGCA", "GCAAAATTGTCAGCATTTCAGGGGCCTGCAGTA", -23.27},
      {"GTCCCTCTCCAAATGTGTCTTG", "NNNGGCACTTGTGGGGGGGAGGGAG", -23.13},
      {"CCTCCAAAGGGAAGCGCTTTCTGTT", "ACTTTAAGGCACTGTCTTTTTGGANN", -17.36},
      {"GTCCCTCTCCAAATGTGTCTTG", "GGATACATATTTTGGGGTGCTCAGAGGGAA", -22.51},
      {"ATCCTTGCTATCTGGGTGCTA", "GAACAGTCGGGCAAGGAT", -18.95},
      {"TAAGTGCTTCCATGTTTGAGTGT", "TTACTCAGGGGACCTTTATCAGCACTTT", -18.62},
      {"TAGATAAAATATTGGTACCTG", "ATTCTTTTTTCTTTTTATCTC", -4.61},
      {"GGGGGGGCAGGAGGGGCTCAGGG", "TCCTGGGCCCCATGCCTGACCCCCT", -44.80},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(HitEnergy(c.mirna, c.window), c.energy, 0.005) << c.mirna << " / " << c.window;
  }
}

// Small strands whose best structure is one loop of a kind, the energies
// summed by hand from the tables rescaled to 30 °C (0.01 kcal/mol): stacks,
// dangles, 1x1 loops, loop lengths, multiloop terms, the Ninio slope, the
// terminal A.U and a tetraloop bonus are each checked on the way. Stems are G.C
// pairs: each GG/CC stack is stack[GC][CG] = -352; the hairpin AAAA closed
// by G.C is hairpin[4] 547 + mismatch_hairpin[GC][A][A] -119 = 428.
TEST(MinimumFreeEnergy, OneLoopOfEachKind) {
  struct Case {
    const char* name;
    std::string strand;
    int energy;
  };
  const Case cases[] = {
      {"hairpin of 3", "CCCAAAGGG", -147},   // 2 stacks + hairpin[3] 557, no mismatch
      {"hairpin of 4", "GGGAAAACCC", -276},  // 2 stacks + 428
      // stack[CG][CG] -258 + hairpin[4] 547 + mismatch_hairpin[GC][G][A] -250 + the bonus of GGGGAC or GGUGAC -302
      // (the file's loop, 20 at 37 degrees, H -1110, less hairpin[4] 560, H 0, and the mismatch -240, H -710);
      // a tetraloop written otherwise than as listed earns nothing, and nothing else folds.
      {"tetraloop", "CGGGGACG", -263},
      {"tetraloop with U", "CGGUGACG", -263},
      {"tetraloop with T for U", "CGGTGACG", 0},
      {"tetraloop in lower case", "CGGgGACG", 0},
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

// A fold reuses the tables of earlier ones: the columns a hit shares with
// the miRNA's earlier hits, and the space of the previous strand, longer or
// shorter. Each energy must be the one of the whole strand folded on a
// thread of its own, whatever came before.
TEST(HitEnergy, SameAsTheWholeStrandWhateverCameBefore) {
  const std::string mirna = "GCUGACUCCUAGUCCAGGGCUC";
  const std::string stem = "GGGGAGGGGAAAACCCCAGGGGAAAACCCCACCCC";
  const std::string hit = "GCUGACUCCUAGUCCAGGGCUC_______AAAUCUUCCUAAAAGAGUCAGN";
  // Another window, the same again, one nucleotide, none, one after none, past one block of columns, shorter.
  const std::pair<std::string, std::string> windows[] = {{"AAAUCUUCCUAAAAGAGUCAGN", "GCAGCCAGCGCAGGGGCUUCUGCU"},
                                                         {"AAAUCUUCCUAAAAGAGUCAGN", "AAAUCUUCCUAAAAGAGUCAGN"},
                                                         {stem, "G"},
                                                         {stem, ""},
                                                         {"", stem},
                                                         {"ACG", stem + stem},
                                                         {stem + stem, "GAGCCCUGGACU"}};
  const auto alone = [](const std::string& strand) {
    return std::async(std::launch::async, [&] { return MinimumFreeEnergy(strand); }).get();
  };
  for (const auto& [earlier, window] : windows) {
    HitEnergy(mirna, earlier);
    const std::string strand = std::string(mirna.rbegin(), mirna.rend()) + std::string(7, kLinker) +
                               std::string(window.rbegin(), window.rend());
    EXPECT_EQ(HitEnergy(mirna, window), static_cast<float>(alone(strand)) / 100.0f) << earlier << " then " << window;
  }
  const std::pair<std::string, std::string> strands[] = {
      {stem + stem + hit, stem}, {stem, hit + stem}, {hit, hit}, {"", stem}, {stem, ""},
  };
  for (const auto& [earlier, strand] : strands) {
    MinimumFreeEnergy(earlier);
    EXPECT_EQ(MinimumFreeEnergy(strand), alone(strand)) << earlier << " then " << strand;
  }
}

// Hits of many miRNAs interleaved, as the scanner folds a group of them
// target by target: each energy is the one the hit gets on its own. One
// miRNA comes twice, its CAGGGG, a tetraloop in the fold, written aligned
// and unaligned: the columns it shares with its other hits differ.
TEST(HitEnergy, SameWhenMirnasInterleave) {
  std::vector<std::string> mirnas = {"UUUCAAGCCAGGGGGCGUUUUUC", "UUUCAAGCcaggggGCGUUUUUC"};
  for (int k = 0; k < 50; ++k) {  // more miRNAs than the scanner's lanes
    std::string mirna = "GUCCCUCUCCAAAUGUGUCUUG";
    mirna[static_cast<std::size_t>(k % 22)] = "ACGU"[k % 4];
    mirna[static_cast<std::size_t>((k / 4) % 22)] = "UGCA"[k % 3];
    mirnas.push_back(mirna);
  }
  for (const char* window : {"ACGGCGGAGAGCAGAGAGGGAG", "UCUUGUUGUCCCCUUUGUAUAU", "GACAUGGAAGCCUCCCCUGCCA"}) {
    for (const std::string& mirna : mirnas) {
      const float alone = std::async(std::launch::async, [&] { return HitEnergy(mirna, window); }).get();
      EXPECT_EQ(HitEnergy(mirna, window), alone) << mirna << " / " << window;
    }
  }
}

// The rescaled entries the folds above do not sum, checked against the
// parameter file by hand: with f = 303.15 / 310.15, tables with enthalpies
// give trunc(H - (H - G) f), the loop terms trunc(G f); the Ninio maximum
// is kept as it is.
TEST(Parameters, RescaledTo30Degrees) {
  const Parameters& p = kParameters;
  EXPECT_EQ(p.stack[3][3], 94) << "stack[GU][GU]: G 130, H -1460";
  EXPECT_EQ(p.dangle5[6][2], 5) << "dangle5[UA][C]: G -10, H 690, above 0 at 30 degrees";
  EXPECT_EQ(p.ninioMax, 300);
  EXPECT_NEAR(p.loopExtrapolation, 107.856 * 303.15 / 310.15, 1e-12);
}

}  // namespace
}  // namespace velmora::fold
