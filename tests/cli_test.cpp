// velmora-cli end to end. map: every file it writes under tmp/ must equal
// the stored reference file byte for byte, for each of the four options.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "tests/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kFixture = fs::path(VELMORA_SOURCE) / "tests/data/home";
const fs::path kGolden = fs::path(VELMORA_SOURCE) / "tests/golden";
const fs::path kCli = fs::path(VELMORA_HOME) / "velmora-cli";

// A copy of the hand-made installation: reference data and predictor outputs.
void MakeHome(const fs::path& home) {
  fs::copy(kFixture, home, fs::copy_options::recursive);
  fs::copy_file(fs::path(VELMORA_HOME) / "lib/mulnum.txt", home / "lib/mulnum.txt");
}

struct Outcome {
  int status;
  std::string errors;
};

Outcome RunCli(const std::string& arguments, const fs::path& errorsFile) {
  const std::string command = kCli.string() + " " + arguments + " 2>" + errorsFile.string();
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadBytes(errorsFile)};
}

class CliMapGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(CliMapGolden, ReproducesEveryWorkspaceFile) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  MakeHome(home);
  const Outcome outcome =
      RunCli("map --option " + GetParam() + " --home " + home.string() + " --output " + (dir / "copy.xls").string(),
             dir / "errors.txt");
  ASSERT_EQ(outcome.status, 0) << outcome.errors;

  int compared = 0;
  for (const auto& golden : fs::directory_iterator(kGolden / GetParam())) {
    const fs::path written = home / "tmp" / golden.path().filename();
    EXPECT_EQ(test::ReadBytes(written), test::ReadBytes(golden.path())) << written;
    ++compared;
  }
  EXPECT_GE(compared, 4);
  EXPECT_EQ(test::ReadBytes(dir / "copy.xls"), test::ReadBytes(kGolden / GetParam() / "result.xls"));
  // The workspace holds the predictor outputs and exactly the reference files.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(home / "tmp")) ++files;
  EXPECT_EQ(files, compared + 2);

  const auto preprocessing = outcome.errors.find(" : Preprocessing data\n");
  const auto mapping = outcome.errors.find(" : Mapping and calculating\n");
  const auto ready = outcome.errors.find(" : Ready\n");
  EXPECT_LT(preprocessing, mapping);
  EXPECT_LT(mapping, ready);
  EXPECT_NE(ready, std::string::npos) << outcome.errors;
}

INSTANTIATE_TEST_SUITE_P(AllOptions, CliMapGolden, ::testing::Values("targetscan", "miranda", "union", "intersection"));

TEST(CliMap, MissingReferenceFileIsNamedAndFails) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  MakeHome(home);
  fs::remove(home / "lib/disease_mirset.txt");
  const Outcome outcome = RunCli("map --home " + home.string(), dir / "errors.txt");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.errors.find("lib/disease_mirset.txt: file not found"), std::string::npos) << outcome.errors;
  EXPECT_FALSE(fs::exists(home / "tmp/result.xls"));
}

TEST(CliMap, BadDiseaseFileStopsTheRunBeforeTheResultIsWritten) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  MakeHome(home);
  std::string diseases = test::ReadBytes(home / "lib/disease_mirset.txt");
  diseases.erase(diseases.rfind('\n', diseases.size() - 2) + 1);  // drop the last line
  test::WriteBytes(home / "lib/disease_mirset.txt", diseases);
  const Outcome outcome = RunCli("map --option union --home " + home.string(), dir / "errors.txt");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.errors.find("disease_mirset.txt: 371 disease lines, 372 expected"), std::string::npos)
      << outcome.errors;
  EXPECT_FALSE(fs::exists(home / "tmp/result.xls"));
  EXPECT_EQ(outcome.errors.find("Ready"), std::string::npos);
}

TEST(CliMap, UnwritableOutputIsAFailure) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  MakeHome(home);
  const Outcome outcome =
      RunCli("map --home " + home.string() + " --output " + (dir / "no/such/dir/r.xls").string(), dir / "errors.txt");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.errors.find("no/such/dir/r.xls"), std::string::npos) << outcome.errors;
}

TEST(CliPredict, AnyLineEndsAndStandardInputGiveTheSameResult) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  fs::create_directory(home);
  fs::copy(fs::path(VELMORA_HOME) / "lib", home / "lib");
  fs::copy(fs::path(VELMORA_HOME) / "perlbin", home / "perlbin");
  std::string fasta = test::ReadBytes(fs::path(VELMORA_SHARED_DATA) / "lncrna_small.fa");
  test::WriteBytes(dir / "lf.fa", fasta);
  std::string cr = fasta;
  std::replace(cr.begin(), cr.end(), '\n', '\r');
  test::WriteBytes(dir / "cr.fa", cr);

  const std::string common = "predict --option union --home " + home.string() + " --output ";
  Outcome outcome = RunCli(common + (dir / "lf.xls").string() + " " + (dir / "lf.fa").string(), dir / "e1.txt");
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_NE(outcome.errors.find(" associations in " + (home / "tmp/result.xls").string()), std::string::npos)
      << outcome.errors;
  outcome = RunCli(common + (dir / "cr.xls").string() + " " + (dir / "cr.fa").string(), dir / "e2.txt");
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  outcome = RunCli(common + (dir / "stdin.xls").string() + " < " + (dir / "lf.fa").string(), dir / "e3.txt");
  ASSERT_EQ(outcome.status, 0) << outcome.errors;

  const std::string result = test::ReadBytes(dir / "lf.xls");
  EXPECT_NE(result.find(">MEG3\t"), std::string::npos);
  EXPECT_EQ(test::ReadBytes(dir / "cr.xls"), result);
  EXPECT_EQ(test::ReadBytes(dir / "stdin.xls"), result);
}

TEST(CliPredict, FailureExitsWithOne) {
  test::TempDir dir;
  test::WriteBytes(dir / "in.fa", "ACGU\n");
  const Outcome outcome = RunCli("predict --home " + std::string(VELMORA_HOME) + " " + (dir / "in.fa").string(),
                                 dir / "errors.txt");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.errors.find("The input holds no FASTA header"), std::string::npos) << outcome.errors;
  EXPECT_EQ(RunCli("predict " + (dir / "missing.fa").string(), dir / "errors.txt").status, 1);
}

}  // namespace
}  // namespace velmora
