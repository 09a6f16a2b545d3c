#include "predictors/scanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "predictors/rna_fold.h"

namespace velmora::scanner {
namespace {

// let-7a, and its reverse complement with five A on either side: the target
// pairs position 22 of the miRNA at nucleotide 6 and position 1 at 27.
const std::string kLet7a = "UGAGGUAGUAGGUUGUAUAGUU";
const std::string kSite = "AACUAUACAACCUACUACCUCA";
const std::string kTarget = "AAAAA" + kSite + "AAAAA";

TEST(ScanPair, PerfectSiteScoresSeedAndThreePrimePairs) {
  // Positions 1, 21 and 22 score 0, so the alignment runs from 20 (row 3)
  // to 2: 7 seed pairs at 4 x 5 and 12 pairs at 5 give 200.
  const auto hits = ScanPair(kLet7a, kTarget);
  ASSERT_EQ(hits.size(), 1u);
  const Hit& hit = hits[0];
  EXPECT_EQ(hit.score, 200);
  EXPECT_EQ(hit.queryStart, 2);
  EXPECT_EQ(hit.queryEnd, 21);
  EXPECT_EQ(hit.alignStart, 8);
  EXPECT_EQ(hit.alignEnd, 26);
  EXPECT_EQ(hit.refStart, 6);  // widened by the two unaligned 3' nucleotides
  EXPECT_EQ(hit.refEnd, 27);   // and by the unaligned 5' one
  EXPECT_EQ(hit.length, 19);
  EXPECT_DOUBLE_EQ(hit.identity, 100);
  EXPECT_DOUBLE_EQ(hit.similarity, 100);
  EXPECT_EQ(hit.energy, fold::HitEnergy(kLet7a, kSite));  // the whole footprint folds, unaligned ends too
  EXPECT_EQ(hit.queryLine, "uuGAUAUGUUGGAUGAUGGAGu");
  EXPECT_EQ(hit.barLine, "  |||||||||||||||||||");
  EXPECT_EQ(hit.refLine, "aaCUAUACAACCUACUACCUCa");
}

TEST(ScanPair, FootprintBeyondTheTargetShowsDashes) {
  struct Case {
    std::string target, refLine;
    int refStart, refEnd;
    std::string window;  // folded with the miRNA, N where the target has no partner
  };
  const Case cases[] = {
      {kSite.substr(1) + "AAAAA", "-aCUAUACAACCUACUACCUCa", 1, 21, "NACUAUACAACCUACUACCUCA"},      // no partner for 22
      {"AAAAA" + kSite.substr(0, 21), "aaCUAUACAACCUACUACCUC-", 6, 26, "AACUAUACAACCUACUACCUCN"},  // none for 1
      {kSite.substr(2, 19), "--CUAUACAACCUACUACCUC-", 1, 19, "NNCUAUACAACCUACUACCUCN"},            // neither
  };
  for (const Case& c : cases) {
    const auto hits = ScanPair(kLet7a, c.target);
    ASSERT_EQ(hits.size(), 1u) << c.target;
    EXPECT_EQ(hits[0].refLine, c.refLine);
    EXPECT_EQ(hits[0].queryLine, "uuGAUAUGUUGGAUGAUGGAGu");
    EXPECT_EQ(hits[0].refStart, c.refStart);
    EXPECT_EQ(hits[0].refEnd, c.refEnd);
    EXPECT_EQ(hits[0].energy, fold::HitEnergy(kLet7a, c.window));
  }
}

TEST(ScanPair, TIsUAndCaseDoesNotMatter) {
  std::string dna = kTarget;
  for (char& c : dna) c = c == 'U' ? 't' : static_cast<char>(c - 'A' + 'a');
  const auto hits = ScanPair(kLet7a, dna);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].score, 200);
}

TEST(ScanPair, UnpairedTargetNucleotideOutsideTheSeed) {
  // A G between the partners of positions 15 and 14: one gap (-9) costs
  // less than losing positions 15 to 20.
  const std::string target = "AAAAA" + kSite.substr(0, 8) + "G" + kSite.substr(8) + "AAAAA";
  const auto hits = ScanPair(kLet7a, target);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].score, 191);
  EXPECT_EQ(hits[0].length, 20);
  EXPECT_DOUBLE_EQ(hits[0].identity, 95);
  EXPECT_EQ(hits[0].energy, fold::HitEnergy(kLet7a, "AACUAUACGAACCUACUACCUCA"));
  EXPECT_EQ(hits[0].refStart, 6);
  EXPECT_EQ(hits[0].refEnd, 28);
  EXPECT_EQ(hits[0].queryLine, "uuGAUAUG-UUGGAUGAUGGAGu");
  EXPECT_EQ(hits[0].refLine, "aaCUAUACGAACCUACUACCUCa");
}

TEST(ScanPair, UnpairedMirnaNucleotideOutsideTheSeed) {
  // The partner of position 12 is missing: -9 for the gap, 5 lost.
  const std::string target = "AAAAA" + kSite.substr(0, 10) + kSite.substr(11) + "AAAAA";
  const auto hits = ScanPair(kLet7a, target);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].score, 186);
  EXPECT_EQ(hits[0].length, 19);
  // Positions 12 and 11 both pair with C; the trace prefers the pair at 11.
  EXPECT_EQ(hits[0].refLine.find('-'), 10u);
}

TEST(ScanPair, TwoSeedMismatchesFallBelowTheThreshold) {
  // Position 3 (A) against C and position 5 (G) against A: each seed
  // mismatch turns +20 into -12, 200 - 2 x 32 = 136, and no shorter
  // alignment does better.
  std::string site = kSite;
  site[19] = 'C';
  site[17] = 'A';
  EXPECT_TRUE(ScanPair(kLet7a, "AAAAA" + site + "AAAAA").empty());
  site[17] = 'C';  // one mismatch left: 168
  const auto hits = ScanPair(kLet7a, "AAAAA" + site + "AAAAA");
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].score, 168);
  // A wobble scales too: G:U at position 4 gives 4 x 1 instead of 4 x 5.
  site[18] = 'U';
  EXPECT_EQ(ScanPair(kLet7a, "AAAAA" + site + "AAAAA").at(0).score, 152);
}

TEST(ScanPair, SeparateSitesAreAllReportedBestFirstThenByTargetEnd) {
  std::string weaker = kSite;
  weaker[5] = 'C';  // position 17 against C: -3 instead of +5, still worth aligning through
  const auto hits = ScanPair(kLet7a, "AAAAA" + weaker + "GGGGGGGG" + kSite + "AAAAA");
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0].score, 200);
  EXPECT_EQ(hits[0].refStart, 36);
  EXPECT_EQ(hits[1].score, 192);
  EXPECT_EQ(hits[1].refStart, 6);
}

TEST(ScanPair, HitsSharingSixTargetPositionsWithABetterOneAreDropped) {
  // Targets of period 13 and 14 repeat the site: the repeats' diagonals lie
  // 13 and 14 apart, so only the shared aligned positions decide.
  struct Case {
    std::string mirna, target;
    std::vector<int> alignStarts;
  };
  const Case cases[] = {
      // 21..39 shares 21..26 with 8..26; the partial site at 5..13 shares 8..13.
      {"CCAUGACUGUAGUCCAUGACUG", "AAAAACAGUCAUGGACUACAGUCAUGGACUACAGUCAUGGAAAAA", {8}},
      // 22..40 and 4..12 share five positions each with 8..26.
      {"CAUGACUGAUAGUCCAUGACUG", "AAAAACAGUCAUGGACUAUCAGUCAUGGACUAUCAGUCAUGAAAAA", {8, 22, 4}},
  };
  for (const Case& c : cases) {
    std::vector<int> starts;
    for (const Hit& hit : ScanPair(c.mirna, c.target)) starts.push_back(hit.alignStart);
    EXPECT_EQ(starts, c.alignStarts) << c.target;
  }
}

TEST(Scan, ReportsOnlyPairsWithHitsInInputOrder) {
  // A hit whose footprint folds to -19.20 kcal/mol, printed as a float.
  const std::vector<Sequence> mirnas = {{"hsa-miR-x", "MIMAT0000000 Homo sapiens", "GUCCCUCUCCAAAUGUGUCUUG"},
                                        {"none", "", "AAAAAAAAAAAAAAAAAAAA"}};
  const std::vector<Sequence> targets = {{"T0", "", "GGGGGGGGGG"}, {"T1", "desc", "AAAAAACGGCGGAGAGCAGAGAGGGAGAAAAA"}};
  std::ostringstream stream;
  Scan(mirnas, targets, "mirs.fa", "lnc.fa", 2, stream);
  const std::string out = stream.str();
  const std::string block =
      "Read Sequence:T1 desc(32 nt)\n"
      "=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=\n"
      "Performing Scan: hsa-miR-x vs T1\n"
      "=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=\n"
      "\n"
      "   Forward:\tScore: 145.000000  Q:2 to 10  R:6 to 27 Align Len (8) (100.00%) (100.00%)\n"
      "\n"
      "   Query:    3' guucuguguaaacCUCUCCCUg 5'\n"
      "                             |||||||| \n"
      "   Ref:      5' acggcggagagcaGAGAGGGAg 3'\n"
      "\n"
      "   Energy:  -19.200001 kCal/Mol\n"
      "\n"
      "Scores for this hit:\n"
      ">hsa-miR-x\tT1\t145.00\t-19.20\t2 10\t6 27\t8\t100.00%\t100.00%\n"
      "\n"
      "Score for this Scan:\n"
      "Seq1,Seq2,Tot Score,Tot Energy,Max Score,Max Energy,Strand,Len1,Len2,Positions\n"
      ">>hsa-miR-x\tT1\t145.00\t-19.20\t145.00\t-19.20\t2\t22\t32\t 6\n"
      "Complete\n"
      "\n"
      "Scan Complete\n"
      "\n";
  ASSERT_GE(out.size(), block.size());
  EXPECT_EQ(out.substr(out.size() - block.size()), block);
  EXPECT_EQ(out.find("Performing Scan: none"), std::string::npos);
  EXPECT_NE(out.find("Current Settings:"), std::string::npos);
  EXPECT_NE(out.find("Query Filename:\t\tmirs.fa\n"), std::string::npos);
}

// Ids far longer than any line buffer: the hit and summary lines stay whole.
TEST(Scan, LongIdsAreWrittenWhole) {
  const std::string mirna(600, 'm');
  const std::string target(700, 't');
  std::ostringstream stream;
  Scan({{mirna, "", kLet7a}}, {{target, "", kTarget}}, "mirs.fa", "lnc.fa", 1, stream);
  const std::string out = stream.str();
  char energy[32];
  std::snprintf(energy, sizeof energy, "%.2f", static_cast<double>(fold::HitEnergy(kLet7a, kSite)));
  EXPECT_NE(out.find(">" + mirna + "\t" + target + "\t200.00\t" + energy + "\t2 21\t6 27\t19\t100.00%\t100.00%\n"),
            std::string::npos);
  EXPECT_NE(
      out.find(">>" + mirna + "\t" + target + "\t200.00\t" + energy + "\t200.00\t" + energy + "\t1\t22\t32\t 6\n"),
      std::string::npos);
}

TEST(ReadFasta, NamesDescriptionsAndSequenceLines) {
  const auto records = ReadFasta("ignored\n>H19 NR_002196.2\r\nAC GT\r\nuu\n>X\tdesc\nn\n", "in.fa");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].id, "H19");
  EXPECT_EQ(records[0].description, "NR_002196.2");
  EXPECT_EQ(records[0].bases, "ACGTuu");
  EXPECT_EQ(records[1].id, "X");
  EXPECT_EQ(records[1].description, "desc");
}

TEST(ReadFasta, RejectsWhatItCannotScan) {
  EXPECT_THROW(ReadFasta(">A\nACGZ\n", "in.fa"), std::runtime_error);
  EXPECT_THROW(ReadFasta(">A\n>B\nACG\n", "in.fa"), std::runtime_error);
  EXPECT_THROW(ReadFasta("> A\nACG\n", "in.fa"), std::runtime_error);
}

}  // namespace
}  // namespace velmora::scanner
