// The windowed, vectorised scanner against the full-matrix reference, hit
// for hit, on the kinds of sequence that stress it.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "predictors/lane_kernel.h"
#include "predictors/scan_pair.h"
#include "predictors/spill_buffer.h"
#include "tests/predictors/reference_scanner.h"
#include "tests/support/test_support.h"

namespace velmora::scanner {
namespace {

const std::string kLet7a = "UGAGGUAGUAGGUUGUAUAGUU";

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
