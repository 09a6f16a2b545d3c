#include "engine/pipelines.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <thread>

#include "core/paths.h"
#include "core/run_failure.h"
#include "core/text.h"
#include "engine/evidence_file.h"
#include "stats/number_format.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class PipelinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(VELMORA_SOURCE) / "tests/data/home/lib", dir / "lib");
    fs::copy(fs::path(VELMORA_SOURCE) / "tests/data/home/tmp", dir / "tmp");
  }
  std::string FailureOf(PredictionOption option) {
    return test::FailureOf([&] { RunMapping(session, option); });
  }
  test::TempDir dir;
  test::RecordingFrontend frontend;
  Session session{dir.path(), frontend, test::BuiltFactorials(), frontend.stop.get_token()};
};

TEST_F(PipelinesTest, NoPairGivesAnEmptyResultAndSaysSo) {
  test::WriteBytes(dir / "tmp/miranda_out.txt", "Scan Complete\n");
  test::WriteBytes(dir / "tmp/targetscan60_out.txt", "");
  RunMapping(session, PredictionOption::BothUnion);
  EXPECT_EQ(frontend.messages, (std::vector<std::string>{
                                   "Preprocessing data", "Mapping and calculating", std::string(kNoPairMessage),
                                   "0 associations found for 0 of 0 lncRNAs, predicted with both (union)", "Ready"}));
  EXPECT_EQ(test::ReadBytes(dir / "tmp/result_mirnas.tsv"), "LncName\tDisease\tmiRNAs\tFound by\tFDR\n");
  EXPECT_EQ(test::ReadBytes(dir / "tmp/lnc_mirset.txt"), "");
  EXPECT_EQ(test::ReadBytes(dir / "tmp/result.xls"),
            "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n");
  for (auto file : {paths::kMirandaPairs, paths::kTargetScanPairs, paths::kGroupedPairs}) {
    EXPECT_TRUE(fs::exists(session.Work(file))) << file;
  }
}

TEST_F(PipelinesTest, AnOutputThatCannotBeReadStopsTheRunNamingIt) {
  fs::remove(dir / "tmp/miranda_out.txt");
  EXPECT_EQ(FailureOf(PredictionOption::MirandaOnly),
            (dir / "tmp/miranda_out.txt").string() + ": cannot be read: No such file or directory");
  EXPECT_FALSE(fs::exists(dir / "tmp/miranda_out.txt"));  // reading never creates a file

  fs::remove(dir / "tmp/targetscan60_out.txt");
  fs::create_directory(dir / "tmp/targetscan60_out.txt");
  EXPECT_EQ(FailureOf(PredictionOption::TargetScanOnly),
            (dir / "tmp/targetscan60_out.txt").string() + ": cannot be read: Is a directory");

  fs::remove(dir / "tmp/targetscan60_out.txt");
  fs::copy(fs::path(VELMORA_SOURCE) / "tests/data/home/tmp/targetscan60_out.txt", dir / "tmp/targetscan60_out.txt");
  fs::remove(dir / "lib/nor_mir.txt");
  fs::create_directory(dir / "lib/nor_mir.txt");
  EXPECT_EQ(FailureOf(PredictionOption::TargetScanOnly),
            (dir / "lib/nor_mir.txt").string() + ": cannot be read: Is a directory");
  EXPECT_FALSE(fs::exists(dir / "tmp/result.xls"));
  EXPECT_EQ(frontend.messages.back(), "Preprocessing data");  // never "Ready"
}

// A stop while the pairs are mapped, and while the lncRNAs are tested:
// the run ends at once and no result file is left under its name.
TEST_F(PipelinesTest, StopEndsTheRunInEveryPhase) {
  for (const char* phase : {"Preprocessing data", "Mapping and calculating"}) {
    frontend = test::RecordingFrontend();
    frontend.stopAt = phase;
    session.stop = frontend.stop.get_token();
    fs::remove(dir / "tmp/result.xls");
    EXPECT_EQ(FailureOf(PredictionOption::BothUnion), "Stopped") << phase;
    EXPECT_FALSE(fs::exists(dir / "tmp/result.xls")) << phase;
    EXPECT_FALSE(fs::exists(dir / "tmp/result.xls.partial")) << phase;
    EXPECT_TRUE(frontend.rows.empty()) << phase;
  }
}

// A file's lines split at TAB, keyed by field 0, a CR before the line end dropped.
std::map<std::string, std::set<std::string>> SetsByName(const fs::path& path) {
  std::map<std::string, std::set<std::string>> sets;
  const std::string bytes = test::ReadBytes(path);
  for (std::string_view line : Split(bytes, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto fields = Split(line, '\t');
    if (line.empty()) continue;
    sets[std::string(fields[0])].insert(fields.begin() + 1, fields.end());
  }
  return sets;
}

// The evidence file against the set files it was made from: one line per
// result line with the same names, miRNAs that both sets hold, a of them,
// each with the predictor that found it, and an FDR between P and 1.
TEST_F(PipelinesTest, EvidenceNamesTheSharedMirnasOfEveryResultLine) {
  const std::map<PredictionOption, std::string> sources = {{PredictionOption::TargetScanOnly, "TargetScan"},
                                                           {PredictionOption::MirandaOnly, "miRanda"},
                                                           {PredictionOption::BothUnion, ""},
                                                           {PredictionOption::BothIntersection, "both"}};
  const auto diseases = SetsByName(dir / "lib/disease_mirset.txt");
  for (const auto& [option, every] : sources) {
    RunMapping(session, option);
    const auto lncs = SetsByName(dir / "tmp/lnc_mirset.txt");
    auto byTargetScan = SetsByName(dir / "tmp/mir_lnc2_t.txt"), byMiranda = SetsByName(dir / "tmp/mir_lnc2_m.txt");
    const std::vector<Evidence> evidence = ReadEvidenceFile(dir / "tmp/result_mirnas.tsv");
    const std::string result = test::ReadBytes(dir / "tmp/result.xls");
    std::vector<std::string_view> lines = Split(result, '\n');
    lines.erase(lines.begin(), lines.begin() + 2);
    lines.pop_back();
    ASSERT_FALSE(lines.empty()) << every;
    ASSERT_EQ(evidence.size(), lines.size()) << every;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const auto cells = Split(lines[i], '\t');
      const Evidence& e = evidence[i];
      EXPECT_EQ(e.lnc, cells[0]);
      EXPECT_EQ(e.disease, cells[1]);
      EXPECT_EQ(std::to_string(e.mirnas.size()), cells[2]) << e.lnc << " " << e.disease;
      ASSERT_EQ(e.foundBy.size(), e.mirnas.size());
      for (std::size_t m = 0; m < e.mirnas.size(); ++m) {
        EXPECT_TRUE(lncs.at(e.lnc).contains(e.mirnas[m])) << e.mirnas[m];
        EXPECT_TRUE(diseases.at(e.disease).contains(e.mirnas[m])) << e.mirnas[m];
        seen.insert(e.foundBy[m]);
        if (!every.empty()) {
          EXPECT_EQ(e.foundBy[m], every);
          continue;
        }
        const bool t = byTargetScan[e.lnc].contains(e.mirnas[m]), m2 = byMiranda[e.lnc].contains(e.mirnas[m]);
        EXPECT_EQ(e.foundBy[m], t && m2 ? "both" : t ? "TargetScan" : m2 ? "miRanda" : "neither") << e.mirnas[m];
      }
      const double p = ParseNumber(cells[6]);
      const double fdr = ParseNumber(e.fdr);
      EXPECT_GE(fdr, p);
      EXPECT_LE(fdr, 1.0);
    }
    if (every.empty()) {
      EXPECT_GE(seen.size(), 2u) << "the union's sources should differ between its miRNAs";
    }
  }
}

// Two runs in one process, on two workspaces and two threads, share nothing:
// each writes the files one run alone writes.
TEST(Pipelines, TwoSessionsOnTwoThreadsWriteTheFilesOfOneRunEach) {
  const fs::path golden = fs::path(VELMORA_SOURCE) / "tests/golden";
  const std::pair<PredictionOption, const char*> runs[] = {{PredictionOption::BothUnion, "union"},
                                                           {PredictionOption::BothIntersection, "intersection"}};
  test::TempDir dirs[2];
  test::RecordingFrontend frontends[2];
  {
    std::vector<std::jthread> threads;
    for (int k = 0; k < 2; ++k) {
      fs::copy(fs::path(VELMORA_SOURCE) / "tests/data/home", dirs[k].path(), fs::copy_options::recursive);
      threads.emplace_back([&, k] {
        Session session{dirs[k].path(), frontends[k], test::BuiltFactorials()};
        // Many rounds, so that the two runs' reads overlap.
        for (int round = 0; round < 20; ++round) RunMapping(session, runs[k].first);
      });
    }
  }
  for (int k = 0; k < 2; ++k) {
    int compared = 0;
    for (const auto& file : fs::directory_iterator(golden / runs[k].second)) {
      EXPECT_EQ(test::ReadBytes(dirs[k] / "tmp" / file.path().filename().string()), test::ReadBytes(file.path()))
          << runs[k].second << " " << file.path().filename();
      ++compared;
    }
    EXPECT_GE(compared, 5);
  }
}

}  // namespace
}  // namespace velmora
