// The predictors: the site finder's rules and its differential test against
// the reference, the scanner's hits, report and resource limits and its
// differential tests against the reference, and the fold's energies.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
#include <random>
#include <sstream>
#include <tuple>

#include "core/byte_stream.h"
#include "predictors/fold_parameters.h"
#include "predictors/lane_kernel.h"
#include "predictors/rna_fold.h"
#include "predictors/scan_pair.h"
#include "predictors/scanner.h"
#include "predictors/site_finder.h"
#include "predictors/spill_buffer.h"
#include "tests/predictors/references.h"
#include "tests/support/test_support.h"

namespace velmora::scanner {
namespace {

namespace fs = std::filesystem;
using fold::HitEnergy;
using fold::kLinker;
using fold::MinimumFreeEnergy;

std::string Random(std::mt19937& random, std::size_t length, const std::string& letters = "ACGU") {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text += letters[random() % letters.size()];
  return text;
}

std::string ReverseComplement(const std::string& rna) {
  std::string partner;
  for (char c : rna) partner.insert(partner.begin(), c == 'A' ? 'U' : c == 'U' ? 'A' : c == 'G' ? 'C' : 'G');
  return partner;
}

std::string Output(const std::string& families, const std::string& utrs) {
  LineFile in(std::make_unique<MemoryStream>(utrs));
  std::ostringstream out;
  sitefinder::FindSites(sitefinder::ReadFamilies(families), in, out);
  return out.str();
}

// The site finder's rules (site types and the 8mer merge, gaps, T for U,
// lower case and other characters, overlapping sites, families in byte order
// with the last seed winning, repeated gene lines, the in-species mark, sites
// in text order) as the reference applies them: random families (repeated
// ids, seeds with T, two species, CR LF) and gene blocks built from the families'
// own site patterns, with gaps, T, N, lower case, CR and repeated lines.
TEST(SiteFinder, MatchesTheStringSearchReferenceOnRandomInput) {
  std::mt19937 random(7);
  auto pick = [&](const std::string& letters) { return letters[random() % letters.size()]; };
  for (int round = 0; round < 300; ++round) {
    std::string families;
    std::vector<std::string> pieces = {"A", "UUUUUUUA", "AAAAAAAA"};
    for (int f = 0; f < 6; ++f) {
      std::string seed = Random(random, 7);
      if (f == 5) seed = round % 2 ? "UUUUUUU" : "ACG";  // all-U: its 7mer-m8 and 7mer-1a share every span
      std::string written = seed;                        // T for U now and then
      if (round % 3 == 0) std::replace(written.begin(), written.end(), 'U', 'T');
      families.append("F").append(std::to_string(random() % 5)).append("\t" + written + "\t") += pick("12");
      families += round % 4 ? "\n" : "\r\n";
      pieces.push_back(ReverseComplement(seed) + "A");
    }
    std::string utrs;
    for (int line = 0; line < 6; ++line) {
      std::string sequence;
      while (sequence.size() < 60) {
        for (char c : pieces[random() % pieces.size()]) {
          sequence += random() % 8 ? c : pick("-T-Nu\r");
          if (random() % 6 == 0) sequence += '-';
        }
      }
      utrs += std::string("G") + pick("ab") + "\t" + pick("12") + "\t" + sequence + "\n";
    }
    ASSERT_EQ(Output(families, utrs), test::ReferenceSites(families, utrs)) << families << utrs;
  }
}

// let-7a, and its reverse complement with five A on either side: the target
// pairs position 22 of the miRNA at nucleotide 6 and position 1 at 27.
const std::string kLet7a = "UGAGGUAGUAGGUUGUAUAGUU";
const std::string kSite = "AACUAUACAACCUACUACCUCA";
const std::string kTarget = "AAAAA" + kSite + "AAAAA";

// One site of let-7a, changed. On the whole site positions 1, 21 and 22
// score 0, so the alignment runs from 20 to 2: 7 seed pairs at 4 x 5 and 12
// pairs at 5 give 200; the footprint adds the two unaligned 3' nucleotides
// and the 5' one, '-' past the target's ends, and folds with the miRNA.
TEST(ScanPair, OneSite) {
  std::string mismatch = kSite, wobble = kSite, twoMismatches = kSite;
  mismatch[19] = wobble[19] = twoMismatches[19] = 'C';  // position 3 (A) against C: -12 instead of +20
  wobble[18] = 'U';                                     // position 4 (G) against U: 4 x 1
  twoMismatches[17] = 'A';                              // position 5 (G) against A too: 136, no hit
  const std::string query = "uuGAUAUGUUGGAUGAUGGAGu", bar = "  ||||||||||||||||||| ";
  const std::tuple<const char*, std::string, int, int, int, int, std::string, std::string, std::string, std::string>
      cases[] = {
          {"whole site", kTarget, 200, 6, 27, 19, query, bar, "aaCUAUACAACCUACUACCUCa", kSite},
          {"no partner for 22", kSite.substr(1) + "AAAAA", 200, 1, 21, 19, query, bar, "-aCUAUACAACCUACUACCUCa",
           "NACUAUACAACCUACUACCUCA"},
          {"none for 1", "AAAAA" + kSite.substr(0, 21), 200, 6, 26, 19, query, bar, "aaCUAUACAACCUACUACCUC-",
           "AACUAUACAACCUACUACCUCN"},
          {"neither", kSite.substr(2, 19), 200, 1, 19, 19, query, bar, "--CUAUACAACCUACUACCUC-",
           "NNCUAUACAACCUACUACCUCN"},
          // One gap (-9) costs less than losing positions 15 to 20.
          {"a G between the partners of 15 and 14", "AAAAA" + kSite.substr(0, 8) + "G" + kSite.substr(8) + "AAAAA", 191,
           6, 28, 20, "uuGAUAUG-UUGGAUGAUGGAGu", "  |||||| ||||||||||||| ", "aaCUAUACGAACCUACUACCUCa",
           "AACUAUACGAACCUACUACCUCA"},
          // Positions 12 and 11 both pair with C; the trace prefers the pair at 11.
          {"no partner for 12", "AAAAA" + kSite.substr(0, 10) + kSite.substr(11) + "AAAAA", 186, 6, 26, 19, query,
           "  |||||||| |||||||||| ", "aaCUAUACAA-CUACUACCUCa", "AACUAUACAACUACUACCUCA"},
          {"a seed mismatch", "AAAAA" + mismatch + "AAAAA", 168, 6, 27, 19, query, "  ||||||||||||||||| | ",
           "aaCUAUACAACCUACUACCCCa", mismatch},
          {"and a seed G:U", "AAAAA" + wobble + "AAAAA", 152, 6, 27, 19, query, "  ||||||||||||||||: | ",
           "aaCUAUACAACCUACUACUCCa", wobble},
          {"T for U, in lower case", "aaaaaaactatacaacctactacctcaaaaaa", 200, 6, 27, 19, query, bar,
           "aaCTATACAACCTACTACCTCa", kSite},
          {"two seed mismatches", "AAAAA" + twoMismatches + "AAAAA", 0, 0, 0, 0, "", "", "", ""},
      };
  for (const auto& [what, target, score, refStart, refEnd, length, queryLine, barLine, refLine, window] : cases) {
    const auto hits = ScanPair(kLet7a, target);
    ASSERT_EQ(hits.size(), score ? 1u : 0u) << what;
    if (hits.empty()) continue;
    const Hit& hit = hits[0];
    EXPECT_EQ(std::tie(hit.score, hit.queryStart, hit.queryEnd, hit.refStart, hit.refEnd, hit.length),
              std::make_tuple(score, 2, 21, refStart, refEnd, length))
        << what;
    EXPECT_EQ(hit.queryLine + "/" + hit.barLine + "/" + hit.refLine, queryLine + "/" + barLine + "/" + refLine);
    const auto marks = [bar = barLine](char mark) { return std::count(bar.begin(), bar.end(), mark); };
    EXPECT_DOUBLE_EQ(hit.identity, 100.0 * marks('|') / length) << what;
    EXPECT_DOUBLE_EQ(hit.similarity, 100.0 * (marks('|') + marks(':')) / length) << what;
    EXPECT_EQ(hit.energy, HitEnergy(kLet7a, window)) << what;
  }
}

TEST(ScanPair, HitsSharingSixTargetPositionsWithABetterOneAreDropped) {
  // Targets of period 13 and 14 repeat the site: the repeats' diagonals lie
  // 13 and 14 apart, so only the shared aligned positions decide.
  const std::tuple<std::string, std::string, std::vector<int>> cases[] = {
      // 21..39 shares 21..26 with 8..26; the partial site at 5..13 shares 8..13.
      {"CCAUGACUGUAGUCCAUGACUG", "AAAAACAGUCAUGGACUACAGUCAUGGACUACAGUCAUGGAAAAA", {8}},
      // 22..40 and 4..12 share five positions each with 8..26.
      {"CAUGACUGAUAGUCCAUGACUG", "AAAAACAGUCAUGGACUAUCAGUCAUGGACUAUCAGUCAUGAAAAA", {8, 22, 4}},
  };
  for (const auto& [mirna, target, alignStarts] : cases) {
    std::vector<int> starts;
    for (const Hit& hit : ScanPair(mirna, target)) starts.push_back(hit.alignStart);
    EXPECT_EQ(starts, alignStarts) << target;
  }
}

// Only pairs with hits, in input order; ids far longer than any line buffer
// are written whole. The hit's footprint folds to -19.20 kcal/mol, printed as
// a float.
TEST(Scan, ReportsOnlyPairsWithHitsInInputOrder) {
  const std::string mirna(600, 'm'), target(700, 't');
  const std::string rule = "=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=";
  std::ostringstream stream;
  Scan({{mirna, "MIMAT0000000 Homo sapiens", "GUCCCUCUCCAAAUGUGUCUUG"}, {"none", "", std::string(20, 'A')}},
       {{"T0", "", "GGGGGGGGGG"}, {target, "desc", "AAAAAACGGCGGAGAGCAGAGAGGGAGAAAAA"}}, "mirs.fa", "lnc.fa", 2, ".",
       stream);
  const std::string out = stream.str(), pair = mirna + "\t" + target + "\t145.00\t-19.20\t";
  const std::string block =
      "Read Sequence:" + target + " desc(32 nt)\n" + rule + "\nPerforming Scan: " + mirna + " vs " + target + "\n" +
      rule +
      "\n\n   Forward:\tScore: 145.000000  Q:2 to 10  R:6 to 27 Align Len (8) (100.00%) (100.00%)\n\n"
      "   Query:    3' guucuguguaaacCUCUCCCUg 5'\n"
      "                             |||||||| \n"
      "   Ref:      5' acggcggagagcaGAGAGGGAg 3'\n\n"
      "   Energy:  -19.200001 kCal/Mol\n\n"
      "Scores for this hit:\n>" +
      pair +
      "2 10\t6 27\t8\t100.00%\t100.00%\n\nScore for this Scan:\n"
      "Seq1,Seq2,Tot Score,Tot Energy,Max Score,Max Energy,Strand,Len1,Len2,Positions\n>>" +
      pair + "145.00\t-19.20\t2\t22\t32\t 6\nComplete\n\nScan Complete\n\n";
  ASSERT_GE(out.size(), block.size());
  EXPECT_EQ(out.substr(out.size() - block.size()), block);
  EXPECT_EQ(out.find("Performing Scan: none"), std::string::npos);
  EXPECT_NE(out.find("Current Settings:"), std::string::npos);
  EXPECT_NE(out.find("Query Filename:\t\tmirs.fa\n"), std::string::npos);
}

// lib/miranda under resource limits. let-7a's text outgrows memory and waits
// in a file beside the output; where that file cannot be written, the scanner
// fails with the reason and no closing line. Threads that fail to start leave
// their work to the others.
TEST(Scan, UnderResourceLimits) {
  const test::TempDir dir;
  std::string mirnas = ">let-7a\n" + kLet7a + "\n", target;
  for (int k = 0; k < 40; ++k) mirnas += ">m" + std::to_string(k) + "\n" + std::string(18 + k % 8, 'A') + "\n";
  for (int k = 0; k < 1000; ++k) target += kSite + "GGGGGGGG";
  test::WriteBytes(dir / "mirs.fa", mirnas);
  test::WriteBytes(dir / "lnc.fa", ">T\n" + target + "\n");
  const std::tuple<const char*, int, int, std::string> cases[] = {
      {"", 1, 0, ""},
#ifndef __SANITIZE_ADDRESS__  // its shadow memory needs far more address space
      {"ulimit -s 1000000; ulimit -v 2500000", 8, 0, ""},
#endif
      {"trap '' XFSZ; ulimit -f 64", 1, 1,
       "miranda: cannot write a temporary file in " + dir.path().string() + ": File too large\n"},
  };
  const std::string in = dir.path().string() + "/";
  std::string complete;
  for (const auto& [limits, threads, status, error] : cases) {
    const std::string command = std::string(limits) + "\nexec " + VELMORA_HOME + "/lib/miranda " + in + "mirs.fa " +
                                in + "lnc.fa -out " + in + "out.txt -t " + std::to_string(threads) + " 2>" + in +
                                "error.txt";
    const int exit = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(exit) ? WEXITSTATUS(exit) : -1, status) << limits;
    EXPECT_EQ(test::ReadBytes(dir / "error.txt"), error) << limits;
    const std::string out = test::ReadBytes(dir / "out.txt");
    if (complete.empty()) complete = out;
    // Not printed when they differ: 300 kB.
    EXPECT_TRUE(status ? out.find("Scan Complete") == std::string::npos : out == complete) << limits;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4) << "nothing left behind";
  }
  EXPECT_GT(complete.size(), SpillBuffer::kMemoryLimit);
  EXPECT_EQ(complete.find("Scan Complete"), complete.size() - 15);
}

TEST(ReadFasta, NamesDescriptionsAndSequenceLinesOrAFailure) {
  std::string records;
  for (const Sequence& r : ReadFasta("ignored\n>H19 NR_002196.2\r\nAC GT\r\nuu\n>X\tdesc\nn\n", "in.fa")) {
    records += r.id + "|" + r.description + "|" + r.bases + "\n";
  }
  EXPECT_EQ(records, "H19|NR_002196.2|ACGTuu\nX|desc|n\n");
  for (const char* text : {">A\nACGZ\n", ">A\n>B\nACG\n", "> A\nACG\n"}) {
    EXPECT_THROW(ReadFasta(text, "in.fa"), std::runtime_error) << text;
  }
}

// The windowed, vectorised scanner against the full-matrix reference, hit for
// hit, on the kinds of sequence that stress it.

// The reverse complement of `mirna` with a few changes, so that hits of all
// scores, with gaps and mismatches, are common.
std::string Site(std::mt19937& random, const std::string& mirna) {
  std::string site = ReverseComplement(mirna);
  for (int change = random() % 4; change > 0; --change) {
    const std::size_t at = random() % site.size();
    const auto kind = random() % 3;
    if (kind == 0) site[at] = "ACGUN"[random() % 5];
    if (kind == 1) site.erase(at, 1);
    if (kind == 2) site.insert(at, 1 + random() % 3, 'G');
  }
  return site;
}

std::string Planted(std::mt19937& random, const std::string& mirna, std::size_t length, int sites,
                    const std::string& letters = "ACGU") {
  std::string target = Random(random, length, letters);
  for (int k = 0; k < sites && !target.empty(); ++k) target.insert(random() % target.size(), Site(random, mirna));
  return target;
}

void ExpectSameHits(const std::vector<Hit>& hits, const std::vector<Hit>& expected, const std::string& what) {
  ASSERT_EQ(hits.size(), expected.size()) << what;
  for (std::size_t k = 0; k < hits.size(); ++k) {
    const Hit &x = hits[k], &y = expected[k];
    EXPECT_EQ(std::tie(x.score, x.queryStart, x.queryEnd, x.refStart, x.refEnd, x.alignStart, x.alignEnd, x.length),
              std::tie(y.score, y.queryStart, y.queryEnd, y.refStart, y.refEnd, y.alignStart, y.alignEnd, y.length))
        << what << " hit " << k;
    EXPECT_EQ(x.queryLine + "/" + x.barLine + "/" + x.refLine, y.queryLine + "/" + y.barLine + "/" + y.refLine) << what;
    EXPECT_EQ(x.energy, y.energy) << what;
  }
}

TEST(ScannerAgainstReference, EveryKindOfTarget) {
  std::mt19937 random(2024);
  std::vector<std::tuple<const char*, std::string, std::string>> cases;  // kind, miRNA, target
  for (int k = 0; k < 40; ++k) {
    const std::string mirna = k % 2 ? kLet7a : Random(random, 17 + random() % 10);
    cases.push_back({"random with sites", mirna, Planted(random, mirna, 200 + random() % 800, 1 + k % 6)});
    cases.push_back({"N-rich", mirna, Planted(random, mirna, 300, 4, "ACGUNNNRY")});
    cases.push_back({"shorter than the miRNA", mirna, Random(random, 1 + random() % mirna.size())});
  }
  const std::string polyU(22, 'U');
  for (std::size_t length : {10u, 21u, 22u, 23u, 100u, 700u}) {
    cases.push_back({"poly-A", polyU, std::string(length, 'A')});
    cases.push_back({"poly-A with G", polyU, std::string(length / 2, 'A') + "G" + std::string(length / 2, 'A')});
  }
  for (const char* repeat : {"AU", "CA", "GUC", "AAAAGU"}) {
    std::string target;
    while (target.size() < 600) target += repeat;
    cases.push_back({"repeat", "UGUGUGUGUGUGUGUGUGUGUG", target});
    cases.push_back({"repeat", "AUAUAUAUAUAUAUAUAUAUAU", target});
  }
  for (int k = 0; k < 30; ++k) {
    // A long miRNA scores enough to pay for a long unpaired stretch in the
    // target: alignments wider than the first traceback window.
    const std::string mirna = Random(random, 35);
    std::string site = Site(random, mirna);
    site.insert(22 + random() % 4, Random(random, 14 + random() % 9));
    cases.push_back({"long gap", mirna, Random(random, 100) + site + Random(random, 20)});
  }
  cases.push_back({"long", kLet7a, Planted(random, kLet7a, 20000, 60)});
  cases.push_back({"short miRNA", "UGAGGUAG", Planted(random, "UGAGGUAG", 500, 8)});
  for (const auto& [kind, mirna, target] : cases) {
    ExpectSameHits(ScanPair(mirna, target), test::ReferenceScanPair(mirna, target),
                   std::string(kind) + " " + mirna + " vs " + target);
  }
}

// miRNAs of different lengths share vectors; each lane's hits must be its own.
TEST(ScannerAgainstReference, LanesOfDifferentLengths) {
  std::mt19937 random(5);
  const std::size_t count = LaneGroup::Lanes() + 3;
  std::vector<std::string> mirnas;
  std::string target;
  for (std::size_t k = 0; k < count; ++k) {
    mirnas.push_back(k == 0 ? std::string(30, 'U') : Random(random, 15 + random() % 16));
    target += Planted(random, mirnas.back(), 60, 1);
  }
  target += std::string(60, 'A');
  const std::vector<Base> codes = TargetCodes(target);
  for (std::size_t first = 0; first < count; first += LaneGroup::Lanes()) {
    std::vector<Rows> rows;
    std::vector<const Rows*> lanes;
    for (std::size_t k = first; k < std::min(count, first + LaneGroup::Lanes()); ++k) rows.emplace_back(mirnas[k]);
    for (const Rows& r : rows) lanes.push_back(&r);
    std::vector<std::vector<Candidate>> candidates;
    LaneGroup(lanes).Sweep(codes, candidates);
    for (std::size_t k = 0; k < rows.size(); ++k) {
      ExpectSameHits(SelectHits(mirnas[first + k], target, rows[k], codes, candidates[k]),
                     test::ReferenceScanPair(mirnas[first + k], target), "lane " + std::to_string(k));
    }
  }
}

// The file a buffer spills to is open, nameless, in the buffer's folder.
bool SpillsIn(const fs::path& folder) {
  return std::any_of(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator(), [&](const auto& fd) {
    std::error_code error;
    const std::string file = fs::read_symlink(fd.path(), error).string();
    return file.starts_with((folder / ".miranda-spill-").string()) && file.ends_with(" (deleted)");
  });
}

TEST(SpillBuffer, KeepsTheTextInOrderAcrossTheMemoryLimit) {
  const test::TempDir dir;
  for (std::size_t pieces : {0u, 1u, 3u, 40u}) {
    SpillBuffer buffer(dir.path().string());
    std::string expected;
    for (std::size_t k = 0; k < pieces; ++k) {
      const std::string piece(SpillBuffer::kMemoryLimit / 7, static_cast<char>('a' + k % 26));
      buffer.Append([&](std::string& text) { text += piece; });
      expected += piece;
    }
    EXPECT_EQ(SpillsIn(dir.path()), pieces > 7) << pieces;
    std::ostringstream out;
    buffer.WriteTo(out);
    EXPECT_EQ(out.str(), expected) << pieces;
    EXPECT_FALSE(SpillsIn(dir.path())) << pieces;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << pieces;
  }
}

// Hits with the energies the original reports for them, then hits of the 1 Mnt
// synthetic benchmark set with those the scanner printed when every fold started
// from empty tables (the longest strands, N, the weakest and the strongest folds;
// -23.27 gained a tetraloop since), written as the Query and Ref lines write them.
TEST(HitEnergy, ReproducesReportedHits) {
  const std::tuple<const char*, const char*, double> cases[] = {
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
  for (const auto& [mirna, window, energy] : cases) {
    EXPECT_NEAR(HitEnergy(mirna, window), energy, 0.005) << mirna << " / " << window;
  }
}

// Small strands whose best structure is one loop of a kind, the energies
// summed by hand from the tables rescaled to 30 °C (0.01 kcal/mol): stacks,
// dangles, 1x1 loops, loop lengths, multiloop terms, the Ninio slope, the
// terminal A.U and a tetraloop bonus are each checked on the way. Stems are G.C
// pairs: each GG/CC stack is stack[GC][CG] = -352; the hairpin AAAA closed
// by G.C is hairpin[4] 547 + mismatch_hairpin[GC][A][A] -119 = 428.
TEST(MinimumFreeEnergy, OneLoopOfEachKind) {
  const std::tuple<const char*, std::string, int> cases[] = {
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
  for (const auto& [name, strand, energy] : cases) EXPECT_EQ(MinimumFreeEnergy(strand), energy) << name;
}

// A fold reuses the tables of earlier ones: the columns a hit shares with
// the miRNA's earlier hits, and the space of the previous strand, longer or
// shorter. Each energy must be the one of the whole strand folded on a
// thread of its own, whatever came before.
TEST(HitEnergy, SameAsTheWholeStrandWhateverCameBeforeOrInterleaves) {
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
  // Hits of many miRNAs interleaved, as the scanner folds a group of them
  // target by target: each energy is the one the hit gets on its own. One
  // miRNA comes twice, its CAGGGG, a tetraloop in the fold, written aligned
  // and unaligned: the columns it shares with its other hits differ.
  std::vector<std::string> mirnas = {"UUUCAAGCCAGGGGGCGUUUUUC", "UUUCAAGCcaggggGCGUUUUUC"};
  for (int k = 0; k < 50; ++k) {  // more miRNAs than the scanner's lanes
    std::string mirna = "GUCCCUCUCCAAAUGUGUCUUG";
    mirna[static_cast<std::size_t>(k % 22)] = "ACGU"[k % 4];
    mirna[static_cast<std::size_t>((k / 4) % 22)] = "UGCA"[k % 3];
    mirnas.push_back(mirna);
  }
  for (const char* window : {"ACGGCGGAGAGCAGAGAGGGAG", "UCUUGUUGUCCCCUUUGUAUAU", "GACAUGGAAGCCUCCCCUGCCA"}) {
    for (const std::string& mirna : mirnas) {
      const float own = std::async(std::launch::async, [&] { return HitEnergy(mirna, window); }).get();
      EXPECT_EQ(HitEnergy(mirna, window), own) << mirna << " / " << window;
    }
  }
}

// The rescaled entries the folds above do not sum, checked against the
// parameter file by hand: with f = 303.15 / 310.15, tables with enthalpies
// give trunc(H - (H - G) f), the loop terms trunc(G f); the Ninio maximum
// is kept as it is.
TEST(Parameters, RescaledTo30Degrees) {
  const fold::Parameters& p = fold::kParameters;
  EXPECT_EQ(p.stack[3][3], 94) << "stack[GU][GU]: G 130, H -1460";
  EXPECT_EQ(p.dangle5[6][2], 5) << "dangle5[UA][C]: G -10, H 690, above 0 at 30 degrees";
  EXPECT_EQ(p.ninioMax, 300);
  EXPECT_NEAR(p.loopExtrapolation, 107.856 * 303.15 / 310.15, 1e-12);
}

}  // namespace
}  // namespace velmora::scanner
