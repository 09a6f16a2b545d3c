#include "engine/enrichment_table.h"

#include <gtest/gtest.h>

#include "core/run_failure.h"
#include "stats/enrichment.h"
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
  std::string Run(const std::string& diseases, const std::string& lncs, bool showRows = true) {
    test::WriteBytes(dir / "disease_mirset.txt", diseases);
    test::WriteBytes(dir / "lnc_mirset.txt", lncs);
    WriteEnrichmentTable(session, dir / "disease_mirset.txt", dir / "lnc_mirset.txt", dir / "result.xls", true, true,
                         showRows);
    return test::ReadBytes(dir / "result.xls");
  }
  std::string RunFailureText(const std::string& diseases, const std::string& lncs) {
    return test::FailureOf([&] { Run(diseases, lncs); });
  }

  test::TempDir dir;
  test::RecordingFrontend frontend;
  Session session{dir.path(), frontend, test::BuiltFactorials()};
};

constexpr char kHeader[] = "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n";

TEST_F(EnrichmentTest, ReportedTablesWithTheirExactTexts) {
  const std::string result = Run(
      DiseaseFile({"Fifteen" + Names("m", 1, 15), "Thirteen" + Names("n", 1, 13), "Ten" + Names("o", 1, 10)}),
      ">L1" + Names("m", 1, 5) + Names("x", 1, 20) + "\n" +  //
          ">L2" + Names("n", 1, 3) + Names("y", 1, 27) + "\n" + ">L3" + Names("o", 1, 4) + Names("z", 1, 10) + "\n");
  EXPECT_EQ(result, std::string(kHeader) +
                        ">L1\tFifteen\t5\t10\t20\t459\t0.000468996330503535\t0.174466634947315\t11.475\n"
                        ">L2\tThirteen\t3\t10\t27\t454\t0.0382607896653471\t1\t5.04444444444444\n"
                        ">L3\tTen\t4\t6\t10\t474\t7.76678708768215E-05\t0.0288924479661776\t31.6\n");
  // The list gets the same texts, in the same order, with IDs 1, 2, 3.
  ASSERT_EQ(frontend.rows.size(), 3u);
  EXPECT_EQ(frontend.rows[2].id, 3);
  EXPECT_EQ(frontend.rows[2].cells, (std::array<std::string, 9>{">L3", "Ten", "4", "6", "10", "474",
                                                                "7.76678708768215E-05", "0.0288924479661776", "31.6"}));
}

TEST_F(EnrichmentTest, UndefinedOddsRatioPassesButPStillDecides) {
  const std::string result = Run(DiseaseFile({"One\tp1", "Two\tq1\tq2"}), ">L4\tp1" + Names("w", 1, 40) +
                                                                              "\n" +  // (1, 0, 40, 453): P about 0.083
                                                                              ">L5\tq1\tq2\tq3\n");  // (2, 0, 1, 491)
  EXPECT_EQ(result, std::string(kHeader) + ">L5\tTwo\t2\t0\t1\t491\t2.463641E-05\t0.00916474452\t-1\n");
}

TEST_F(EnrichmentTest, NothingReportedLeavesHeaderAndEmptyLine) {
  EXPECT_EQ(Run(DiseaseFile({"D\tm1\tm2"}), ">L\tM1\tM2\n\n>Only\n"), kHeader);  // case matters
  EXPECT_TRUE(frontend.rows.empty());
  EXPECT_EQ(Run(DiseaseFile({}), ""), kHeader);
}

TEST_F(EnrichmentTest, EmptyFieldsAreNamesAndDiseaseCarriageReturnsNeverMatch) {
  // "D" has the names "" and "m1\r": the empty field is shared, m1 is not.
  const std::string result = Run(DiseaseFile({"D\t\tm1\r"}), ">L\t\tm1\n");
  EXPECT_EQ(result, std::string(kHeader) + ">L\tD\t1\t1\t1\t491\t0.00808895214\t1\t491\n") << result;
}

TEST_F(EnrichmentTest, RowsStayOutOfTheListWhenNotShown) {
  Run(DiseaseFile({"Two\tq1\tq2"}), ">L5\tq1\tq2\tq3\n", false);
  EXPECT_TRUE(frontend.rows.empty());
}

TEST_F(EnrichmentTest, DiseaseFileIsCheckedBeforeAnythingIsWritten) {
  EXPECT_NE(RunFailureText(DiseaseFile({}, 371), ">L\tm\n").find("371 disease lines, 372 expected"), std::string::npos);
  EXPECT_NE(RunFailureText(DiseaseFile({}, 373), ">L\tm\n").find("373 disease lines, 372 expected"), std::string::npos);
  EXPECT_NE(RunFailureText(DiseaseFile({"A\tm", ""}, 372), ">L\tm\n").find("line 2 is empty"), std::string::npos);
  EXPECT_NE(RunFailureText(DiseaseFile({"A\tm1\tm2\tm1"}), ">L\tm\n").find("line 1 (A) lists the miRNA \"m1\" twice"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "result.xls"));
}

TEST_F(EnrichmentTest, NegativeCountStopsTheRunNamingTheLncRnaAndDisease) {
  const std::string message = RunFailureText(DiseaseFile({"A\tm1"}), ">L\tm1\tm1\n");
  EXPECT_NE(message.find("lncRNA >L and disease A: the 2x2 table 2, -1, 0, 493 has a negative count"),
            std::string::npos)
      << message;
  // Two sets that together hold more than 494 names.
  EXPECT_NE(RunFailureText(DiseaseFile({"Big" + Names("d", 1, 200)}), ">L\td1" + Names("l", 1, 300) + "\n")
                .find("has a negative count"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "result.xls"));
}

}  // namespace
}  // namespace velmora
