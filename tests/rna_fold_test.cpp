#include "predictors/rna_fold.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velmora::fold
