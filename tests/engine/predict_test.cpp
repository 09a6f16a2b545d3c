// The whole Predict run with the built predictors and reference data.

#include "engine/predict.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "core/paths.h"
#include "core/sha256.h"
#include "core/text.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// The lncRNAs of a set file: the first field of each line.
std::set<std::string> SetNames(const fs::path& setFile) {
  const std::string text = test::ReadBytes(setFile);
  std::set<std::string> names;
  for (std::string_view line : Split(text, '\n')) {
    if (!line.empty()) names.emplace(Split(line, '\t')[0]);
  }
  return names;
}

class PredictTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(VELMORA_HOME) / "lib", dir / "lib");
    fs::copy(fs::path(VELMORA_HOME) / "perlbin", dir / "perlbin");
    fs::create_directory(dir / "tmp");  // as the build lays it out
  }
  bool Run(std::string_view text, PredictionOption option) {
    frontend = {};
    return Predict(session, InputSource::Text(text), option);
  }
  std::string Fasta() const { return test::ReadBytes(fs::path(VELMORA_SHARED_DATA) / "lncrna_small.fa"); }
  std::string Tmp(std::string_view relative) const { return test::ReadBytes(session.Work(relative)); }

  test::TempDir dir;
  test::RecordingFrontend frontend;
  Session session{dir.path(), frontend, test::BuiltFactorials()};
};

// Each option on three real lncRNAs: the log names the predictors it runs,
// scanner first, and sums up the result file, and the list shows the file's
// lines. (The reporting rule and the merging of the two predictors' pairs
// are the enrichment and pair-file tests' tables, and the golden runs'.)
TEST_F(PredictTest, AllFourOptionsOnRealLncRnas) {
  const struct {
    PredictionOption option;
    std::string method;
    bool miranda, targetScan;
  } runs[] = {{PredictionOption::TargetScanOnly, "TargetScan only", false, true},
              {PredictionOption::MirandaOnly, "miRanda only", true, false},
              {PredictionOption::BothUnion, "both (union)", true, true},
              {PredictionOption::BothIntersection, "both (intersection)", true, true}};
  std::map<PredictionOption, std::set<std::string>> sets;
  for (const auto& run : runs) {
    ASSERT_TRUE(Run(Fasta(), run.option)) << frontend.messages.back();
    EXPECT_EQ(fs::exists(session.Work(paths::kMirandaOutput)), run.miranda);
    EXPECT_EQ(fs::exists(session.Work(paths::kTargetScanOutput)), run.targetScan);
    sets[run.option] = SetNames(session.Work(paths::kLncMirSets));
    const std::string result = Tmp(paths::kResult);
    const auto lines = Split(result, '\n');
    ASSERT_EQ(frontend.rows.size() + 2, lines.size() - 1) << "header, empty line, rows, final LF";
    std::set<std::string> lncs;
    for (std::size_t r = 0; r < frontend.rows.size(); ++r) {
      const auto& cells = frontend.rows[r].cells;
      std::string line;
      for (const auto& cell : cells) line += cell + "\t";
      line.pop_back();
      EXPECT_EQ(line, lines[r + 2]);
      lncs.insert(cells[0]);
    }
    std::vector<std::string> log;
    if (run.miranda) log.push_back("Running miRanda, which may take a long time");
    if (run.targetScan) log.push_back("Running Targetscan_60.pl, which may take a long time");
    log.insert(log.end(),
               {"Preprocessing data", "Mapping and calculating",
                std::to_string(frontend.rows.size()) + " associations found for " + std::to_string(lncs.size()) +
                    " of " + std::to_string(sets[run.option].size()) + " lncRNAs, predicted with " + run.method,
                "Ready"});
    EXPECT_EQ(frontend.messages, log);
  }
  // Both predictors find the three lncRNAs and name them alike, so that the
  // union holds three and the intersection is not empty.
  for (const auto& [option, names] : sets) {
    EXPECT_EQ(names, (std::set<std::string>{">GAS5", ">HULC", ">MEG3"})) << static_cast<int>(option);
  }
}

// Everything is checked before the workspace is touched: a bad input (a
// fault at its very end too), a missing, changed or unrunnable installation
// file or an unusable workspace is named in one line, and the last result
// and the predictor inputs stay.
TEST_F(PredictTest, ARefusedRunNamesTheFaultAndLosesNothing) {
  ASSERT_TRUE(Run(Fasta(), PredictionOption::TargetScanOnly));
  const std::string result = Tmp(paths::kResult);
  const std::string inputs = Tmp(paths::kMirandaInput);
  const std::string record = Tmp(paths::kRunInfo);
  const auto none = [] {};
  struct Case {
    std::string input;
    PredictionOption option;
    std::function<void()> setup;
    std::string message;
  };
  const std::string lib = (dir / "lib").string();
  const Case cases[] = {
      {"", PredictionOption::BothUnion, none, "The input is empty"},
      {Fasta() + ">late\n" + std::string(200'000, 'A') + "7\n", PredictionOption::BothUnion, none,
       "column 200001: the sequence of \">late\""},
      {Fasta() + ">hulc\nACGU\n", PredictionOption::BothUnion, none, "the name \">hulc\" repeats the record of line 1"},
      {Fasta(), PredictionOption::BothUnion, [&] { fs::permissions(dir / "lib/miranda", fs::perms::owner_read); },
       lib + "/miranda: not executable"},
      {Fasta(), PredictionOption::MirandaOnly,
       [&] {
         fs::permissions(dir / "lib/miranda", fs::perms::owner_all);
         test::WriteBytes(dir / "lib/small_mirs.txt", "");
       },
       lib + "/small_mirs.txt: changed since"},
      {Fasta(), PredictionOption::MirandaOnly, [&] { fs::remove(dir / "lib/miranda"); },
       lib + "/miranda: file not found"},
      {Fasta(), PredictionOption::TargetScanOnly, [&] { fs::remove(dir / "lib/disease_mirset.txt"); },
       lib + "/disease_mirset.txt: file not found"},
  };
  for (const Case& c : cases) {
    c.setup();
    EXPECT_FALSE(Run(c.input, c.option));
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_NE(frontend.messages[0].find(c.message), std::string::npos) << frontend.messages[0];
    EXPECT_EQ(Tmp(paths::kResult), result) << "the last result stays";
    EXPECT_EQ(Tmp(paths::kMirandaInput), inputs) << "and so do the predictor inputs";
    EXPECT_EQ(Tmp(paths::kRunInfo), record) << "and the complete run's record";
  }
}

// run_info.json of two runs of one input differs only in its times; it
// describes the input and the stages. (The command-line rows with --run-info
// check its outcome, manifest digest and row count.)
TEST_F(PredictTest, TheRunRecordVariesOnlyWithTheTimes) {
  const auto timeless = [&] {
    auto json = nlohmann::json::parse(Tmp(paths::kRunInfo));
    json.erase("started_utc");
    json.erase("ended_utc");
    for (auto& stage : json["stages"]) stage.erase("seconds");
    return json;
  };
  ASSERT_TRUE(Run(Fasta(), PredictionOption::BothUnion));
  const auto first = timeless();
  ASSERT_TRUE(Run(Fasta(), PredictionOption::BothUnion));
  EXPECT_EQ(timeless(), first);
  const std::string fasta = Fasta();
  test::WriteBytes(dir / "in.fa", fasta);
  std::size_t nucleotides = 0;
  for (std::string_view line : Split(fasta, '\n')) nucleotides += line.starts_with('>') ? 0 : line.size();
  EXPECT_EQ(
      first["input"],
      nlohmann::json(
          {{"path", nullptr}, {"sha256", Sha256FileHex(dir / "in.fa")}, {"records", 3}, {"nucleotides", nucleotides}}));
  EXPECT_EQ(first["collection"]["sets"], 372);
  EXPECT_EQ(first["option"], "union");
  std::vector<std::string> stages;
  for (const auto& stage : first["stages"]) stages.push_back(stage["name"]);
  EXPECT_EQ(stages, (std::vector<std::string>{"Checking the input", "Writing the predictor inputs", "miRanda",
                                              "TargetScan", "Mapping"}));
}

// The input is opened once, before the workspace is touched: what happens to
// its path between the check and the writing pass (the list being cleared)
// changes nothing, and a file the run replaces is refused as input.
TEST_F(PredictTest, TheInputFileIsOpenedOnce) {
  struct MidRun : test::RecordingFrontend {
    std::function<void()> act = [] {};
    void ClearResultRows() override { act(); }
  } midRun;
  Session run{dir.path(), midRun, test::BuiltFactorials()};
  const fs::path input = dir / "in.fa";
  test::WriteBytes(input, Fasta());
  ASSERT_TRUE(Predict(run, InputSource::File(input), PredictionOption::TargetScanOnly));
  const std::string clean = Tmp(paths::kResult);
  const struct {
    std::string what;
    std::function<void()> act;
  } changes[] = {
      {"removed", [&] { fs::remove(input); }},
      {"replaced", [&] { test::WriteBytes(dir / "other.fa", ">X\nACGU\n"), fs::rename(dir / "other.fa", input); }},
  };
  for (const auto& change : changes) {
    test::WriteBytes(input, Fasta());
    midRun.act = change.act;
    EXPECT_TRUE(Predict(run, InputSource::File(input), PredictionOption::TargetScanOnly)) << change.what;
    EXPECT_EQ(Tmp(paths::kResult), clean) << change.what;
  }
  midRun.act = [] {};
  fs::create_hard_link(session.Work(paths::kResult), dir / "linked.xls");
  for (const fs::path& own : {session.Work(paths::kTargetScanInput), dir / "linked.xls"}) {
    midRun.messages.clear();
    EXPECT_FALSE(Predict(run, InputSource::File(own), PredictionOption::TargetScanOnly));
    ASSERT_EQ(midRun.messages.size(), 1u);
    EXPECT_NE(midRun.messages[0].find("The input is the workspace's own "), std::string::npos) << midRun.messages[0];
    EXPECT_EQ(Tmp(paths::kResult), clean) << own;
  }
}

TEST_F(PredictTest, UnwritableWorkspaceIsNamed) {
  fs::remove_all(dir / "tmp");
  test::WriteBytes(dir / "tmp", "a file where the folder should be");
  EXPECT_FALSE(Run(Fasta(), PredictionOption::TargetScanOnly));
  ASSERT_EQ(frontend.messages.size(), 1u);
  EXPECT_NE(frontend.messages[0].find("cannot create " + (dir / "tmp/lncrna_custom_ori.txt").string()),
            std::string::npos)
      << frontend.messages[0];
}

TEST_F(PredictTest, FailingPredictorStopsTheRunWithItsMessageAndLeavesNoOutput) {
  fs::remove(dir / "lib/miranda");
  test::WriteBytes(dir / "lib/miranda", "#!/bin/sh\necho partial > \"$4\"\necho 'miranda: out of luck' >&2\nexit 1\n");
  fs::permissions(dir / "lib/miranda", fs::perms::owner_all);
  EXPECT_FALSE(Run(">X\nACGUACGUACGU\n", PredictionOption::MirandaOnly));
  ASSERT_EQ(frontend.messages.size(), 2u);
  EXPECT_EQ(frontend.messages[0], "Running miRanda, which may take a long time");
  EXPECT_NE(frontend.messages[1].find("lib/miranda failed with status 1: miranda: out of luck"), std::string::npos)
      << frontend.messages[1];
  EXPECT_FALSE(fs::exists(session.Work(paths::kMirandaOutput)));
  EXPECT_FALSE(fs::exists(session.Work(std::string(paths::kMirandaOutput) + ".partial")));
}

}  // namespace
}  // namespace velmora
