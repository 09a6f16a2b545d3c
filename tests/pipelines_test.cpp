#include "mapping/pipelines.h"

#include <gtest/gtest.h>

#include "run/paths.h"
#include "tests/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class PipelinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(VELMORA_SOURCE) / "tests/data/home/lib", dir / "lib");
    fs::create_directory(dir / "tmp");
  }
  test::TempDir dir;
  test::RecordingFrontend frontend;
  ResultStore store;
  Session session{dir.path(), frontend, store, test::BuiltFactorials()};
};

TEST_F(PipelinesTest, NoPairGivesAnEmptyResultAndSaysSo) {
  // Neither predictor output exists: both read as empty files.
  RunMapping(session, PredictionOption::BothUnion);
  EXPECT_EQ(frontend.messages, (std::vector<std::string>{"Preprocessing data", "Mapping and calculating",
                                                         std::string(kNoPairMessage), "Ready"}));
  EXPECT_EQ(test::ReadBytes(dir / "tmp/lnc_mirset.txt"), "");
  EXPECT_EQ(test::ReadBytes(dir / "tmp/result.xls"),
            "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n");
  for (auto file : {paths::kMirandaPairs, paths::kTargetScanPairs, paths::kGroupedPairs}) {
    EXPECT_TRUE(fs::exists(paths::In(dir.path(), file))) << file;
  }
}

TEST_F(PipelinesTest, TheWindowGetsATurnRightAfterTheFirstLogLine) {
  test::WriteBytes(dir / "tmp/miranda_out.txt", "Performing Scan: hsa-miR-9999-5p vs L\n");
  RunMapping(session, PredictionOption::MirandaOnly);
  EXPECT_EQ(frontend.messages, (std::vector<std::string>{"Preprocessing data", "Mapping and calculating", "Ready"}));
  EXPECT_EQ(frontend.yields, 1);  // no row is reported, so the pipeline's own yield is the only one
  EXPECT_EQ(test::ReadBytes(dir / "tmp/lnc_mirset.txt"), ">L\thsa-mir-9999\n");
}

}  // namespace
}  // namespace velmora
