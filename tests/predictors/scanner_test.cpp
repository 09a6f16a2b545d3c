#include "predictors/scanner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <tuple>

#include "predictors/lane_kernel.h"
#include "predictors/rna_fold.h"
#include "predictors/scan_pair.h"
#include "predictors/spill_buffer.h"
#include "tests/predictors/references.h"
#include "tests/support/test_support.h"

namespace velmora::scanner {
namespace {

namespace fs = std::filesystem;

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
  struct Case {
    const char* what;
    std::string target;
    int score, refStart, refEnd, length;
    std::string queryLine, barLine, refLine, window;
  };
  const std::string query = "uuGAUAUGUUGGAUGAUGGAGu", bar = "  ||||||||||||||||||| ";
  const Case cases[] = {
      {"whole site", kTarget, 200, 6, 27, 19, query, bar, "aaCUAUACAACCUACUACCUCa", kSite},
      {"no partner for 22", kSite.substr(1) + "AAAAA", 200, 1, 21, 19, query, bar, "-aCUAUACAACCUACUACCUCa",
       "NACUAUACAACCUACUACCUCA"},
      {"none for 1", "AAAAA" + kSite.substr(0, 21), 200, 6, 26, 19, query, bar, "aaCUAUACAACCUACUACCUC-",
       "AACUAUACAACCUACUACCUCN"},
      {"neither", kSite.substr(2, 19), 200, 1, 19, 19, query, bar, "--CUAUACAACCUACUACCUC-", "NNCUAUACAACCUACUACCUCN"},
      // One gap (-9) costs less than losing positions 15 to 20.
      {"a G between the partners of 15 and 14", "AAAAA" + kSite.substr(0, 8) + "G" + kSite.substr(8) + "AAAAA", 191, 6,
       28, 20, "uuGAUAUG-UUGGAUGAUGGAGu", "  |||||| ||||||||||||| ", "aaCUAUACGAACCUACUACCUCa",
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
  for (const Case& c : cases) {
    const auto hits = ScanPair(kLet7a, c.target);
    ASSERT_EQ(hits.size(), c.score ? 1u : 0u) << c.what;
    if (hits.empty()) continue;
    const Hit& hit = hits[0];
    EXPECT_EQ(std::tie(hit.score, hit.queryStart, hit.queryEnd, hit.refStart, hit.refEnd, hit.length),
              std::make_tuple(c.score, 2, 21, c.refStart, c.refEnd, c.length))
        << c.what;
    EXPECT_EQ(hit.queryLine + "/" + hit.barLine + "/" + hit.refLine, c.queryLine + "/" + c.barLine + "/" + c.refLine);
    const auto marks = [&](char mark) { return std::count(c.barLine.begin(), c.barLine.end(), mark); };
    EXPECT_DOUBLE_EQ(hit.identity, 100.0 * marks('|') / c.length) << c.what;
    EXPECT_DOUBLE_EQ(hit.similarity, 100.0 * (marks('|') + marks(':')) / c.length) << c.what;
    EXPECT_EQ(hit.energy, fold::HitEnergy(kLet7a, c.window)) << c.what;
  }
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
  struct Case {
    const char* limits;
    int threads, status;
    std::string error;
  };
  const Case cases[] = {
      {"", 1, 0, ""},
#ifndef __SANITIZE_ADDRESS__  // its shadow memory needs far more address space
      {"ulimit -s 1000000; ulimit -v 2500000", 8, 0, ""},
#endif
      {"trap '' XFSZ; ulimit -f 64", 1, 1,
       "miranda: cannot write a temporary file in " + dir.path().string() + ": File too large\n"},
  };
  const std::string in = dir.path().string() + "/";
  std::string complete;
  for (const Case& c : cases) {
    const std::string command = std::string(c.limits) + "\nexec " + VELMORA_HOME + "/lib/miranda " + in + "mirs.fa " +
                                in + "lnc.fa -out " + in + "out.txt -t " + std::to_string(c.threads) + " 2>" + in +
                                "error.txt";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.limits;
    EXPECT_EQ(test::ReadBytes(dir / "error.txt"), c.error) << c.limits;
    const std::string out = test::ReadBytes(dir / "out.txt");
    if (complete.empty()) complete = out;
    // Not printed when they differ: 300 kB.
    EXPECT_TRUE(c.status ? out.find("Scan Complete") == std::string::npos : out == complete) << c.limits;
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

std::string Random(std::mt19937& random, std::size_t length, const std::string& letters = "ACGU") {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text += letters[random() % letters.size()];
  return text;
}

// The reverse complement of `mirna` with a few changes, so that hits of all
// scores, with gaps and mismatches, are common.
std::string Site(std::mt19937& random, const std::string& mirna) {
  std::string site;
  for (char c : mirna) site.insert(site.begin(), c == 'A' ? 'U' : c == 'U' ? 'A' : c == 'G' ? 'C' : 'G');
  for (int change = random() % 4; change > 0; --change) {
    const std::size_t at = random() % site.size();
    switch (random() % 3) {
      case 0:
        site[at] = "ACGUN"[random() % 5];
        break;
      case 1:
        site.erase(at, 1);
        break;
      default:
        site.insert(at, 1 + random() % 3, 'G');
        break;
    }
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

struct Case {
  const char* kind;
  std::string mirna, target;
};

TEST(ScannerAgainstReference, EveryKindOfTarget) {
  std::mt19937 random(2024);
  std::vector<Case> cases;
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
  for (const Case& c : cases) {
    ExpectSameHits(ScanPair(c.mirna, c.target), test::ReferenceScanPair(c.mirna, c.target),
                   std::string(c.kind) + " " + c.mirna + " vs " + c.target);
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
bool SpillsIn(const std::filesystem::path& folder) {
  const std::string name = (folder / ".miranda-spill-").string();
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string file = std::filesystem::read_symlink(fd.path(), error).string();
    if (file.starts_with(name) && file.ends_with(" (deleted)")) return true;
  }
  return false;
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

}  // namespace
}  // namespace velmora::scanner
