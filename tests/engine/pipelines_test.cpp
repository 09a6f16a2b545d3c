#include "engine/pipelines.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/paths.h"
#include "core/run_failure.h"
#include "mapping/targetscan_reader.h"
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
  test::WriteBytes(dir / "tmp/targetscan60_out.txt", std::string(kSiteFinderHeader) + "\n");
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
