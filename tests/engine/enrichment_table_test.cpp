#include "engine/enrichment_table.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/run_failure.h"
#include "core/text.h"
#include "stats/enrichment.h"
#include "stats/number_format.h"
#include "tests/support/reference_arithmetic.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

std::string Names(const std::string& prefix, int first, int last) {
  std::string names;
  for (int i = first; i <= last; ++i) names += "\t" + prefix + std::to_string(i);
  return names;
}

// 372 disease lines: the given ones first, then fillers whose single miRNA
// no lncRNA holds.
std::string DiseaseFile(const std::vector<std::string>& lines, int total = kDiseaseCount) {
  std::string file;
  for (const auto& line : lines) file += line + "\n";
  for (int k = static_cast<int>(lines.size()) + 1; k <= total; ++k) {
    file += "Filler " + std::to_string(k) + "\tfiller-" + std::to_string(k) + "\n";
  }
  return file;
}

class EnrichmentTest : public ::testing::Test {
 protected:
  // The collection's sizes come from the MANIFEST beside the disease file.
  std::string Run(const std::string& diseases, const std::string& lncs, bool showRows = true,
                  const std::string& manifest = "universe 494\ndiseases 372\n") {
    test::WriteBytes(dir / "MANIFEST", manifest);
    test::WriteBytes(dir / "disease_mirset.txt", diseases);
    test::WriteBytes(dir / "lnc_mirset.txt", lncs);
    WriteEnrichmentTable(session, dir / "disease_mirset.txt", dir / "lnc_mirset.txt", dir / "result.xls", true, true,
                         showRows);
    return test::ReadBytes(dir / "result.xls");
  }

  test::TempDir dir;
  test::RecordingFrontend frontend;
  Session session{dir.path(), frontend, test::BuiltFactorials()};
};

// One row per table: the disease lines, the set file, and the lines reported
// after the header. Each runs with the list and without: the file is the
// same, and the list shows its lines in order, numbered from 1, or nothing.
TEST_F(EnrichmentTest, ReportedLinesWithTheirExactTexts) {
  const struct {
    std::vector<std::string> diseases;
    std::string lncs, reported;
  } cases[] = {
      {{"Fifteen" + Names("m", 1, 15), "Thirteen" + Names("n", 1, 13), "Ten" + Names("o", 1, 10)},
       ">L1" + Names("m", 1, 5) + Names("x", 1, 20) + "\n>L2" + Names("n", 1, 3) + Names("y", 1, 27) + "\n>L3" +
           Names("o", 1, 4) + Names("z", 1, 10) + "\n",
       ">L1\tFifteen\t5\t10\t20\t459\t0.000468996330503535\t0.174466634947315\t11.475\n"
       ">L2\tThirteen\t3\t10\t27\t454\t0.0382607896653471\t1\t5.04444444444444\n"
       ">L3\tTen\t4\t6\t10\t474\t7.76678708768215E-05\t0.0288924479661776\t31.6\n"},
      // An undefined odds ratio passes, but P still decides: (1, 0, 40, 453) has P about 0.083.
      {{"One\tp1", "Two\tq1\tq2"},
       ">L4\tp1" + Names("w", 1, 40) + "\n>L5\tq1\tq2\tq3\n",
       ">L5\tTwo\t2\t0\t1\t491\t2.463641E-05\t0.00916474452\t-1\n"},
      // P about 0.0005, but an odds ratio of 1.95 (140, 60, 160, 134): not reported.
      {{"Near" + Names("m", 1, 140) + Names("d", 1, 60)}, ">L" + Names("m", 1, 140) + Names("l", 1, 160) + "\n", ""},
      {{"D\tm1\tm2"}, ">L\tM1\tM2\n\n>Only\n", ""},  // case matters
      {{}, "", ""},
      // "D" has the names "" and "m1\r": the empty field is shared, m1 is not.
      {{"D\t\tm1\r"}, ">L\t\tm1\n", ">L\tD\t1\t1\t1\t491\t0.00808895214\t1\t491\n"},
  };
  for (const auto& c : cases) {
    for (bool show : {true, false}) {
      frontend.rows.clear();
      session.rowsShown = 0;  // as a new run starts
      EXPECT_EQ(Run(DiseaseFile(c.diseases), c.lncs, show),
                "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n" + c.reported);
      std::string listed;
      for (std::size_t i = 0; i < frontend.rows.size(); ++i) {
        EXPECT_EQ(frontend.rows[i].id, static_cast<int>(i) + 1);
        for (const auto& cell : frontend.rows[i].cells) listed += cell + "\t";
        listed.back() = '\n';
      }
      EXPECT_EQ(listed, show ? c.reported : "") << c.lncs;
    }
  }
}

// Every fault of the sets is found before a row is shown or a byte written.
TEST_F(EnrichmentTest, FaultsStopTheRunBeforeAnythingIsWritten) {
  const struct {
    std::string diseases, lncs, message, manifest = "universe 494\ndiseases 372\n";
  } cases[] = {
      {DiseaseFile({}, 371), ">L\tm\n", "371 disease lines, 372 expected"},
      {DiseaseFile({}, 371), ">L\tm\n", "MANIFEST: diseases missing", "universe 494\n"},
      {DiseaseFile({}), ">L\tm\n", "mulnum.txt: 500 factorials, at least 501 expected (the universe size)",
       "universe 501\ndiseases 372\n"},
      {DiseaseFile({}, 373), ">L\tm\n", "373 disease lines, 372 expected"},
      {DiseaseFile({"A\tm", ""}), ">L\tm\n", "line 2 is empty"},
      {DiseaseFile({"A\tm1\tm2\tm1"}), ">L\tm\n", "line 1 (A) lists the miRNA \"m1\" twice"},
      {DiseaseFile({"A\tm1"}), ">L\tm1\tm1\n",
       "lncRNA >L and disease A: the 2x2 table 2, -1, 0, 493 has a negative count"},
      // Two sets that together hold more than 494 names.
      {DiseaseFile({"Big" + Names("d", 1, 200)}), ">L\td1" + Names("l", 1, 300) + "\n", "has a negative count"},
  };
  for (const auto& c : cases) {
    const std::string failure = test::FailureOf([&] { Run(c.diseases, c.lncs, true, c.manifest); });
    EXPECT_NE(failure.find(c.message), std::string::npos) << failure;
    EXPECT_FALSE(std::filesystem::exists(dir / "result.xls"));
    EXPECT_TRUE(frontend.rows.empty());
  }
}

// A collection of its own: every table totals its universe, and a set
// without a miRNA does not count in the Bonferroni factor (2 here).
TEST_F(EnrichmentTest, TheCollectionGivesTheUniverseAndTheBonferroniFactor) {
  std::istringstream result(Run("A" + Names("m", 1, 5) + "\nB" + Names("n", 1, 12) + "\nNone\n",
                                ">L" + Names("m", 1, 4) + Names("n", 1, 6) + "\n", true, "universe 40\ndiseases 3\n"));
  std::string line;
  std::getline(result, line);  // the header and the empty line
  std::getline(result, line);
  int rows = 0;
  for (; std::getline(result, line); ++rows) {
    const auto cells = Split(line, '\t');
    ASSERT_EQ(cells.size(), 9u) << line;
    std::int32_t t[4];
    for (std::size_t k = 0; k < 4; ++k) t[k] = std::stoi(std::string(cells[2 + k]));
    EXPECT_EQ(t[0] + t[1] + t[2] + t[3], 40) << line;
    const double p = test::ReferenceFisherExactP(test::BuiltFactorials(), t[0], t[1], t[2], t[3]);
    EXPECT_EQ(cells[6], GeneralNumber(p)) << line;
    EXPECT_EQ(cells[7], GeneralNumber(std::min(1.0, p * 2))) << line;
  }
  EXPECT_EQ(rows, 2);  // A and B
}

}  // namespace
}  // namespace velmora
