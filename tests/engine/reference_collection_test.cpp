#include "engine/reference_collection.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <sstream>

#include "core/file_bytes.h"
#include "core/sha256.h"
#include "core/text.h"
#include "engine/pipelines.h"
#include "engine/predict.h"
#include "mapping/mirna_name.h"
#include "stats/number_format.h"
#include "tests/support/test_support.h"

namespace velmora::refdata {
namespace {

namespace fs = std::filesystem;

// m1 has 3 diseases, m2 and m3 two each (tie: m2 first by name), m4 one.
const std::string kAssociations =
    "1\thsa-mir-1-1\tLung Neoplasms\t111\tup\r\n"
    "2\thsa-miR-1-2\tGlioma \t112\tdown\r\n"  // normalises to hsa-mir-1; trailing space trimmed
    "3\thsa-mir-1\tHeart Failure\t113\t\r\n"
    "4\thsa-mir-3\tGlioma\t114\t\r\n"
    "5\thsa-mir-3\tHeart Failure\t115\t\r\n"
    "6\thsa-mir-2\tGlioma\t116\t\r\n"
    "7\thsa-mir-2\tAsthma\t117\t\r\n"
    "8\thsa-mir-2\tAsthma\t118\trepeat\r\n"  // the same pair again
    "9\thsa-mir-4\tAsthma\t119\t\r\n"
    "10\thsa-miR21\tAsthma\t120\t\r\n";  // two parts: skipped

// The same rows in the v3/v4 layout: a header, then the category first.
std::string V3Layout(const std::string& v2) {
  std::string v3 = "category\tmir\tdisease\tpmid\tdescription\n";
  std::istringstream rows(v2);
  int row = 0;
  for (std::string line; std::getline(rows, line);) {
    v3 += (++row % 2 ? "genetics" : "circulation") + line.substr(line.find('\t')) + "\n";
  }
  return v3;
}

// Both layouts read as the same pairs: the universe goes by disease count,
// then name (m2 before m3), and so do the diseases (Asthma and Heart Failure
// before Lung); a category keeps its rows only.
TEST(ReferenceData, UniverseAndDiseasesByCountThenNameInBothLayouts) {
  test::TempDir dir;
  test::WriteBytes(dir / "v2.txt", kAssociations);
  test::WriteBytes(dir / "v3.txt", V3Layout(kAssociations));
  test::WriteBytes(dir / "mature.fa", ">hsa-miR-1-3p\nUGGAAUGUAAAG\n>hsa-miR-7-5p\nUGGAAGACUAGU\n");
  for (const auto& [file, layout] : {std::pair{"v2.txt", HmddLayout::V2}, {"v3.txt", HmddLayout::V3}}) {
    const Associations read = ReadAssociations(test::ReadBytes(dir / file), file);
    EXPECT_EQ(read.layout, layout);
    EXPECT_EQ(read.skipped, 1);
    EXPECT_EQ(read.pairs.size(), 8u);
    EXPECT_EQ(read.merged, std::vector<std::string>{"hsa-mir-1"});
    EXPECT_EQ(ReferenceListFile(SelectUniverse(read.pairs, 3)), "hsa-mir-1\r\nhsa-mir-2\r\nhsa-mir-3\r\n");
    CollectionSources sources;
    sources.hmdd = (dir / file).string();
    sources.mirbase = (dir / "mature.fa").string();
    sources.universeSize = 2;
    sources.diseases = 3;
    const Collection built = BuildFromHmdd(sources);
    EXPECT_EQ(DiseaseSetFile(built.sets),
              "Asthma\thsa-mir-2\nGlioma\thsa-mir-1\thsa-mir-2\nHeart Failure\thsa-mir-1\n");
    EXPECT_EQ(built.report.back(), "universe miRNAs without a mature sequence: 1 (hsa-mir-2)");
  }
  const Associations genetics = ReadAssociations(V3Layout(kAssociations), "v3.txt", "genetics");
  EXPECT_EQ(genetics.otherCategory, 5);
  EXPECT_EQ(genetics.pairs.size(), 5u);  // the odd rows
}

// Each bad set file stops with one line naming the file and line.
TEST(ReferenceData, BadSetFilesAreNamedWithTheirLine) {
  const struct {
    bool gmt;
    std::string text, category, message;
  } cases[] = {
      {false, "ID\tmiRNA\tdisease\n", "", "f: line 1: unknown layout"},
      {false, "hsa-mir-1\tGlioma\n", "", "f: line 1: unknown layout"},
      {false, kAssociations, "genetics", "f: line 1: a category is asked for, but the HMDD v2.0 layout has none"},
      {false, "1\thsa-mir-1\tGlioma\n2\thsa-mir-2\n", "", "f: line 2 has fewer than 3 tab-separated fields"},
      {false, "category\tmir\tdisease\ngenetics\thsa-mir-1\n", "", "f: line 2 has fewer than 3 tab-separated fields"},
      {true, "A\tx\thsa-mir-1\n\nB only a name\n", "", "f: line 3 has no TAB (name TAB description TAB members ...)"},
      {true, "A\tx\thsa-mir-1\nB\tx\t\t\r\n", "", "f: line 2: the set \"B\" has no members"},
      {true, "A\tx\thsa-mir-1\nB\tx\n", "", "f: line 2: the set \"B\" has no members"},
      {true, "A\tx\thsa-mir-1\nB\tx\thsa-mir-2\nA\ty\thsa-mir-3\n", "",
       "f: line 3: the set name \"A\" was used on line 1"},
      {true, "\tx\thsa-mir-1\n", "", "f: line 1: a set without a name"},
  };
  for (const auto& c : cases) {
    const std::string failure =
        test::FailureOf([&] { c.gmt ? (void)ReadGmt(c.text, "f") : (void)ReadAssociations(c.text, "f", c.category); });
    EXPECT_EQ(failure.substr(0, c.message.size()), c.message) << failure;
  }
}

TEST(ReferenceData, MatureFilesKeepTheUniverseInFileOrder) {
  const auto matures = ReadMatures(
      ">hsa-miR-2-5p MIMAT0000002 Homo sapiens miR-2-5p\nTGAGGTAG\nTAG\n"
      ">hsa-miR-9-3p MIMAT0000009 Homo sapiens miR-9-3p\nAAAAAAAAAA\n"
      ">hsa-miR-1-3p MIMAT0000001 Homo sapiens miR-1-3p\r\nUGGAAUGUAAAG\r\n");
  const auto kept = KeepUniverse(matures, {"hsa-mir-1", "hsa-mir-2"});
  EXPECT_EQ(ScannerMirnaFile(kept),
            ">hsa-miR-2-5p MIMAT0000002 Homo sapiens miR-2-5p\nTGAGGTAGTAG\n"
            ">hsa-miR-1-3p MIMAT0000001 Homo sapiens miR-1-3p\nUGGAAUGUAAAG\n");
  EXPECT_EQ(SeedFamilyFile(kept), ">hsa-miR-2-5p\tGAGGUAG\t9606\n>hsa-miR-1-3p\tGGAAUGU\t9606\n");
  EXPECT_NE(test::FailureOf([] { SeedFamilyFile({{"hsa-miR-5", "ACGU"}}); }), "no failure");
}

// A GMT collection: members normalised and merged, those without a mature
// sequence (or outside a given universe) and the sets left empty counted.
TEST(ReferenceData, GmtSetsAreNormalisedAndWhatIsLeftOutIsReported) {
  test::TempDir dir;
  test::WriteBytes(dir / "mature.fa",
                   ">hsa-miR-21-5p\nUAGCUUAUCAGACUGAUGUUGA\n>hsa-miR-21-3p\nCAACACCAGUCGAUGGGCUGU\n"
                   ">hsa-miR-155-5p\nUUAAUGCUAAUCGUGAUAGGGGU\n>hsa-let-7a-5p\nUGAGGUAGUAGGUUGUAUAGUU\n");
  test::WriteBytes(dir / "sets.gmt",
                   "Glioma\thttp://x\thsa-miR-21-5p\thsa-mir-21\thsa-mir-155\thsa-mir-999\r\n"
                   "Asthma\t\thsa-let-7a-5p\tmir21\n"
                   "Orphan\t-\thsa-mir-998\n");
  test::WriteBytes(dir / "universe.txt", "hsa-mir-21\nhsa-let-7a\nhsa-mir-999\n");
  CollectionSources sources;
  sources.gmt = (dir / "sets.gmt").string();
  sources.mirbase = (dir / "mature.fa").string();
  const Collection fromMirbase = BuildFromGmt(sources);
  EXPECT_EQ(fromMirbase.universe, (std::vector<std::string>{"hsa-let-7a", "hsa-mir-155", "hsa-mir-21"}));
  EXPECT_EQ(DiseaseSetFile(fromMirbase.sets), "Glioma\thsa-mir-155\thsa-mir-21\nAsthma\thsa-let-7a\n");
  EXPECT_EQ(fromMirbase.matures.size(), 4u);
  EXPECT_EQ(fromMirbase.report,
            (std::vector<std::string>{"GMT: 3 sets", "members without a mature sequence: 2 (hsa-mir-998, hsa-mir-999)",
                                      "members that are no miRNA name (fewer than three \"-\" parts): 1 (mir21)",
                                      "miRNA names that several spellings share: 1 (hsa-mir-21)",
                                      "sets left empty, not written: 1 (Orphan)"}));

  sources.universe = (dir / "universe.txt").string();
  const Collection fromFile = BuildFromGmt(sources);
  EXPECT_EQ(DiseaseSetFile(fromFile.sets), "Glioma\thsa-mir-21\thsa-mir-999\nAsthma\thsa-let-7a\n");
  EXPECT_EQ(fromFile.report[1], "members outside the universe: 2 (hsa-mir-155, hsa-mir-998)");
  EXPECT_EQ(fromFile.report.back(), "universe miRNAs without a mature sequence: 1 (hsa-mir-999)");
}

// The shipped collection, built again from HMDD v2.0: the digests of lib/MANIFEST.
TEST(ReferenceData, ShippedCollectionIsBuiltByteForByte) {
  CollectionSources sources;
  sources.hmdd = VELMORA_SHARED_DATA "/hmdd_v2.0_alldata.txt";
  sources.mirbase = VELMORA_MIRBASE;
  test::TempDir dir;
  WriteCollection(dir / "lib", BuildFromHmdd(sources), "test\n");
  std::string digests;
  for (const char* file : {"nor_mir.txt", "disease_mirset.txt", "small_mirs.txt", "hsa_mir_seed.txt", "mulnum.txt"}) {
    digests += Sha256FileHex(dir / "lib" / file) + "  " + file + "\n";
  }
  EXPECT_EQ(digests,
            "5b6883ba4e05df23ea0533b73e0a5c10edf773642621e397412a433c84b631d1  nor_mir.txt\n"
            "73c8fe00de3b61f74b3be1eee4b27dc3c4e231eee4d8ddf7a205a105b0601a7f  disease_mirset.txt\n"
            "237f3e9f1853210c58656acec673d7402eaed7799aa9b6ef459e40843844d19f  small_mirs.txt\n"
            "6b60fbd41a9cddcc79f0005724d23a6eab4d95823b3869ce864738f3f0de4111  hsa_mir_seed.txt\n"
            "eb93fa2feaf7b1eebc12933ba0bca8c4b09e0c8f1233edfd056894fd6e30ddf9  mulnum.txt\n");
  EXPECT_EQ(test::ReadBytes(dir / "lib/MANIFEST").rfind("universe 494\ndiseases 372\nmatures 838\n", 0), 0u);
}

// The exact two-sided P-value of a 2x2 table: the hypergeometric
// probabilities not above the observed one, summed in rationals.
double ExactP(long a, long b, long c, long d) {
  const long n = a + b + c + d, row = a + b, column = a + c;
  const auto probability = [&](long t) {
    mpz_class x, y, z, w, total;
    mpz_bin_uiui(x.get_mpz_t(), static_cast<unsigned long>(row), static_cast<unsigned long>(t));
    mpz_bin_uiui(y.get_mpz_t(), static_cast<unsigned long>(n - row), static_cast<unsigned long>(column - t));
    mpz_bin_uiui(total.get_mpz_t(), static_cast<unsigned long>(n), static_cast<unsigned long>(column));
    return mpq_class(x * y, total);
  };
  const mpq_class observed = probability(a);
  mpq_class sum = 0;
  for (long t = std::max(0L, column - (n - row)); t <= std::min(row, column); ++t) {
    if (const mpq_class p = probability(t); p <= observed) sum += p;
  }
  return sum.get_d();
}

// A GMT collection in the universe of every normalised human mature name,
// with 300 sets, used by a prediction of the example lncRNAs: every row's
// table follows from the lncRNA's set and the disease's, its P-value is
// within 1e-5 of the exact one, and the Bonferroni factor is the set count.
TEST(ReferenceData, LargeGmtCollectionPredictsWithExactPValues) {
  test::TempDir dir;
  std::vector<std::string> names;  // normalised, distinct
  for (const Mature& mature : ReadMatures(ReadFileBytes(VELMORA_MIRBASE))) {
    const auto name = NormaliseMirnaName(mature.header.substr(0, mature.header.find(' ')));
    if (name && std::find(names.begin(), names.end(), *name) == names.end()) names.push_back(*name);
  }
  ASSERT_GT(names.size(), 1700u);
  std::mt19937 random(1743);
  std::string gmt, universe;
  for (int k = 0; k < 300; ++k) {
    std::vector<std::string> members = names;
    std::shuffle(members.begin(), members.end(), random);
    members.resize(static_cast<std::size_t>(std::uniform_int_distribution(5, 300)(random)));
    gmt += "Set " + std::to_string(k) + "\t-";
    for (const std::string& name : members) gmt += "\t" + name;
    gmt += "\n";
  }
  for (const std::string& name : names) universe += name + "\n";
  test::WriteBytes(dir / "sets.gmt", gmt);
  test::WriteBytes(dir / "universe.txt", universe);
  CollectionSources sources;
  sources.gmt = (dir / "sets.gmt").string();
  sources.universe = (dir / "universe.txt").string();
  sources.mirbase = VELMORA_MIRBASE;
  const Collection collection = BuildFromGmt(sources);
  ASSERT_EQ(collection.sets.size(), 300u);
  WriteCollection(dir / "lib", collection, "test\n");

  const FactorialTable factorials = LoadFactorialTable(dir / "lib/mulnum.txt");
  test::RecordingFrontend frontend;
  Session session{VELMORA_HOME, frontend, factorials};
  session.workdir = dir / "work";
  session.reference = dir / "lib";
  ASSERT_TRUE(Predict(session, InputSource::File(fs::path(VELMORA_SHARED_DATA) / "lncrna_examples.fa"),
                      PredictionOption::TargetScanOnly))
      << frontend.messages.back();
  // Each set file: a name, then its members, TAB-separated.
  const auto sets = [](const fs::path& file) {
    std::map<std::string, std::set<std::string>> named;
    const std::string text = test::ReadBytes(file);
    for (std::string_view line : Split(text, '\n')) {
      const auto fields = Split(line, '\t');
      if (fields.size() > 1) named[std::string(fields[0])].insert(fields.begin() + 1, fields.end());
    }
    return named;
  };
  const auto lncs = sets(dir / "work/lnc_mirset.txt"), diseases = sets(dir / "lib/disease_mirset.txt");
  const long n = static_cast<long>(names.size());
  int rows = 0;
  const std::string result = test::ReadBytes(dir / "work/result.xls");
  for (std::string_view line : Split(result, '\n')) {
    const auto cells = Split(line, '\t');
    if (cells.size() != 9 || cells[0] == "LncName") continue;
    ++rows;
    const auto& lnc = lncs.at(std::string(cells[0]));
    const auto& disease = diseases.at(std::string(cells[1]));
    long a = 0;
    for (const std::string& mirna : lnc) a += disease.contains(mirna);
    const long b = static_cast<long>(disease.size()) - a, c = static_cast<long>(lnc.size()) - a;
    const std::string expected =
        std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " + std::to_string(n - a - b - c);
    EXPECT_EQ(
        std::string(cells[2]) + " " + std::string(cells[3]) + " " + std::string(cells[4]) + " " + std::string(cells[5]),
        expected)
        << line;
    const double p = ParseNumber(cells[6]), exact = ExactP(a, b, c, n - a - b - c);
    EXPECT_NEAR(p, exact, 1e-5 * exact) << line;
    EXPECT_NEAR(ParseNumber(cells[7]), std::min(1.0, p * 300), 1e-13) << line;
  }
  EXPECT_GT(rows, 10);
}

}  // namespace
}  // namespace velmora::refdata
