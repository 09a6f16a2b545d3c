// velmora-cli end to end. map: every file it writes under tmp/ must equal
// the stored reference file byte for byte, for each of the four options.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kFixture = fs::path(VELMORA_SOURCE) / "tests/data/home";
const fs::path kGolden = fs::path(VELMORA_SOURCE) / "tests/golden";
const fs::path kCli = fs::path(VELMORA_HOME) / "velmora-cli";

// A copy of the hand-made installation: reference data with its manifest,
// and predictor outputs.
void MakeHome(const fs::path& home) {
  fs::copy(kFixture, home, fs::copy_options::recursive);
  fs::copy_file(fs::path(VELMORA_HOME) / "lib/mulnum.txt", home / "lib/mulnum.txt");
  const std::string manifest = std::string(VELMORA_PREPARE) + " --manifest-only --lib " + (home / "lib").string();
  ASSERT_EQ(std::system(manifest.c_str()), 0);
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
  const Outcome outcome = RunCli("map --option " + GetParam() + " --home " + home.string() + " --output " +
                                     (dir / "copy.xls").string() + " --evidence " + (dir / "copy.tsv").string(),
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
  EXPECT_EQ(test::ReadBytes(dir / "copy.tsv"), test::ReadBytes(kGolden / GetParam() / "result_mirnas.tsv"));
  // The workspace holds the predictor outputs, the lock file and exactly the
  // reference files.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(home / "tmp")) ++files;
  EXPECT_EQ(files, compared + 3);

  const auto preprocessing = outcome.errors.find(" : Preprocessing data\n");
  const auto mapping = outcome.errors.find(" : Mapping and calculating\n");
  const auto ready = outcome.errors.find(" : Ready\n");
  EXPECT_LT(preprocessing, mapping);
  EXPECT_LT(mapping, ready);
  EXPECT_NE(ready, std::string::npos) << outcome.errors;
}

TEST(CliMap, AWorkspaceOfItsOwnLeavesTheInstallationAlone) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  MakeHome(home);
  fs::rename(home / "tmp", dir / "work");
  const Outcome outcome = RunCli("map --option union --home " + home.string() + " --workdir " + (dir / "work").string(),
                                 dir / "errors.txt");
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(test::ReadBytes(dir / "work/result.xls"), test::ReadBytes(kGolden / "union/result.xls"));
  EXPECT_FALSE(fs::exists(home / "tmp"));
}

INSTANTIATE_TEST_SUITE_P(AllOptions, CliMapGolden, ::testing::Values("targetscan", "miranda", "union", "intersection"));

// More associations than the window's list holds: the command line says
// nothing about the list, and no line twice.
TEST(CliMap, TenThousandRowsAndMoreAreOnlyCounted) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  MakeHome(home);
  // Each lncRNA holds the miRNAs of three diseases, which it is then linked to.
  std::vector<std::vector<std::string>> diseases;
  std::istringstream lines(test::ReadBytes(home / "lib/disease_mirset.txt"));
  for (std::string line; std::getline(lines, line);) {
    diseases.emplace_back();
    std::istringstream fields(line);
    std::string field;
    std::getline(fields, field, '\t');
    while (std::getline(fields, field, '\t')) diseases.back().push_back(field);
  }
  std::string scans;
  for (std::size_t l = 0; l < 1200; ++l) {
    std::set<std::string> held;
    for (std::size_t k : {l % 372, (l * 7 + 3) % 372, (l * 13 + 5) % 372}) {
      held.insert(diseases[k].begin(), diseases[k].end());
    }
    if (held.size() > 150) continue;
    for (const std::string& mirna : held) scans += "Performing Scan: " + mirna + " vs L" + std::to_string(l) + "\n";
  }
  scans += "Scan Complete\n";
  test::WriteBytes(home / "tmp/miranda_out.txt", scans);
  const Outcome outcome = RunCli("map --option miranda --home " + home.string(), dir / "errors.txt");
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  const std::size_t rows = std::stoul(outcome.errors.substr(outcome.errors.rfind('\n', outcome.errors.size() - 2) + 1));
  EXPECT_GT(rows, 10000u);
  EXPECT_EQ(outcome.errors.find("listview"), std::string::npos);
  std::set<std::string> seen;
  std::istringstream errors(outcome.errors);
  for (std::string line; std::getline(errors, line);) EXPECT_TRUE(seen.insert(line).second) << line;
}

TEST(CliMap, UnreadableWorkspaceFilesAreNamedAndNothingIsReady) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  MakeHome(home);
  fs::remove(home / "tmp/targetscan60_out.txt");
  fs::create_directory(home / "tmp/targetscan60_out.txt");
  Outcome outcome = RunCli("map --home " + home.string(), dir / "errors.txt");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.errors.find("tmp/targetscan60_out.txt: file not found"), std::string::npos) << outcome.errors;
  EXPECT_EQ(outcome.errors.find("Ready"), std::string::npos);

  // Without the right to read: as root, the run drops to an unprivileged user.
  fs::remove(home / "tmp/targetscan60_out.txt");
  fs::copy_file(kFixture / "tmp/targetscan60_out.txt", home / "tmp/targetscan60_out.txt");
  fs::permissions(home / "tmp/targetscan60_out.txt", fs::perms::none);
  fs::permissions(dir.path(), fs::perms::all);
  fs::permissions(home / "tmp", fs::perms::all);  // the run's lock file goes there
  const std::string user = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const std::string command =
      user + kCli.string() + " map --home " + home.string() + " 2>" + (dir / "errors.txt").string();
  const int status = std::system(command.c_str());
  outcome = {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadBytes(dir / "errors.txt")};
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.errors.find("tmp/targetscan60_out.txt: cannot be read: Permission denied"), std::string::npos)
      << outcome.errors;
  EXPECT_EQ(outcome.errors.find("Ready"), std::string::npos);
  EXPECT_FALSE(fs::exists(home / "tmp/result.xls"));
}

TEST(Cli, UsageErrorsExitTwoAndTheVersionComesFromTheBuild) {
  test::TempDir dir;
  EXPECT_EQ(RunCli("map --option both", dir / "errors.txt").status, 2);
  EXPECT_EQ(RunCli("frobnicate", dir / "errors.txt").status, 2);
  EXPECT_EQ(RunCli("", dir / "errors.txt").status, 2);
  const std::string command = kCli.string() + " --version >" + (dir / "out.txt").string();
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(test::ReadBytes(dir / "out.txt"), "velmora-cli " VELMORA_VERSION "\n");
}

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

// The manifest finds the change before the disease file is read.
TEST(CliMap, BadDiseaseFileStopsTheRunBeforeTheResultIsWritten) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  MakeHome(home);
  std::string diseases = test::ReadBytes(home / "lib/disease_mirset.txt");
  diseases.erase(diseases.rfind('\n', diseases.size() - 2) + 1);  // drop the last line
  test::WriteBytes(home / "lib/disease_mirset.txt", diseases);
  const Outcome outcome = RunCli("map --option union --home " + home.string(), dir / "errors.txt");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.errors.find("lib/disease_mirset.txt: changed since"), std::string::npos) << outcome.errors;
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
  outcome =
      RunCli(common + (dir / "one-thread.xls").string() + " --threads 1 " + (dir / "lf.fa").string(), dir / "e4.txt");
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  ASSERT_EQ(std::system(("gzip -c " + (dir / "cr.fa").string() + " > " + (dir / "cr.fa.gz").string()).c_str()), 0);
  outcome = RunCli(common + (dir / "gz.xls").string() + " " + (dir / "cr.fa.gz").string(), dir / "e5.txt");
  ASSERT_EQ(outcome.status, 0) << outcome.errors;

  const std::string result = test::ReadBytes(dir / "lf.xls");
  EXPECT_NE(result.find(">MEG3\t"), std::string::npos);
  EXPECT_EQ(test::ReadBytes(dir / "cr.xls"), result);
  EXPECT_EQ(test::ReadBytes(dir / "stdin.xls"), result);
  EXPECT_EQ(test::ReadBytes(dir / "one-thread.xls"), result);
  EXPECT_EQ(test::ReadBytes(dir / "gz.xls"), result);
}

// The predictor inputs do not depend on how the input arrives: line ends,
// gzip, standard input (spooled to a file that is gone afterwards, also when
// the input is refused).
TEST(CliPrepare, EveryFormOfTheInputWritesTheSamePredictorInputs) {
  test::TempDir dir;
  const fs::path spools = dir / "spools";
  fs::create_directory(spools);
  const std::string fasta = test::ReadBytes(fs::path(VELMORA_SHARED_DATA) / "lncrna_examples.fa");
  std::string crlf, cr = fasta;
  for (char c : fasta) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::replace(cr.begin(), cr.end(), '\n', '\r');
  test::WriteBytes(dir / "lf.fa", fasta);
  test::WriteBytes(dir / "crlf.fa", crlf);
  test::WriteBytes(dir / "cr.fa", cr);
  ASSERT_EQ(std::system(("gzip -c " + (dir / "crlf.fa").string() + " > " + (dir / "crlf.fa.gz").string()).c_str()), 0);
  test::WriteBytes(dir / "bad.fa", fasta + ">bad\nAC7\n");

  // The command's exit status; a spool goes to `spools`.
  const auto prepare = [&](const std::string& workspace, const std::string& input) {
    const std::string command = "TMPDIR=" + spools.string() + " " + kCli.string() + " prepare --home " + VELMORA_HOME +
                                " --workdir " + (dir / workspace).string() + " " + input + " 2>" +
                                (dir / "errors.txt").string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  ASSERT_EQ(prepare("lf", (dir / "lf.fa").string()), 0) << test::ReadBytes(dir / "errors.txt");
  const std::string miranda = test::ReadBytes(dir / "lf/lncrna_custom_ori.txt");
  const std::string targetScan = test::ReadBytes(dir / "lf/lncrna_custom.txt");
  EXPECT_EQ(std::count(targetScan.begin(), targetScan.end(), '\n'), 11);
  const std::vector<std::pair<std::string, std::string>> forms = {
      {"crlf", (dir / "crlf.fa").string()},
      {"cr", (dir / "cr.fa").string()},
      {"gzip", (dir / "crlf.fa.gz").string()},
      {"stdin", "- < " + (dir / "cr.fa").string()},
      {"stdin-gzip", "- < " + (dir / "crlf.fa.gz").string()},
  };
  for (const auto& [form, input] : forms) {
    SCOPED_TRACE(form);
    ASSERT_EQ(prepare(form, input), 0) << test::ReadBytes(dir / "errors.txt");
    EXPECT_EQ(test::ReadBytes(dir / form / "lncrna_custom_ori.txt"), miranda);
    EXPECT_EQ(test::ReadBytes(dir / form / "lncrna_custom.txt"), targetScan);
  }
  EXPECT_EQ(prepare("lf", "- < " + (dir / "bad.fa").string()), 1);
  EXPECT_NE(test::ReadBytes(dir / "errors.txt").find("Input line 696: column 3: the sequence of \">bad\""),
            std::string::npos)
      << test::ReadBytes(dir / "errors.txt");
  EXPECT_EQ(test::ReadBytes(dir / "lf/lncrna_custom_ori.txt"), miranda) << "the refused run changed nothing";
  EXPECT_TRUE(fs::is_empty(spools)) << "no spool is left";
}

TEST(CliPredict, FailureExitsWithOne) {
  test::TempDir dir;
  test::WriteBytes(dir / "in.fa", "ACGU\n");
  const Outcome outcome =
      RunCli("predict --home " + std::string(VELMORA_HOME) + " " + (dir / "in.fa").string(), dir / "errors.txt");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.errors.find("Input line 1: text before the first header line"), std::string::npos)
      << outcome.errors;
  EXPECT_EQ(RunCli("predict " + (dir / "missing.fa").string(), dir / "errors.txt").status, 1);
}

// The chart of a workspace's result in each format, and the failures a user
// can act on: no result yet, an unknown format, a folder that is not there.
TEST(CliChart, DrawsTheWorkspacesResultInEachFormat) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  MakeHome(home);
  ASSERT_EQ(RunCli("map --option union --home " + home.string(), dir / "errors.txt").status, 0);
  const std::vector<std::pair<std::string, std::string>> formats = {
      {"chart.svg", "<?xml"}, {"chart.png", "\x89PNG"}, {"chart.PDF", "%PDF-"}};
  for (const auto& [name, magic] : formats) {
    const Outcome outcome =
        RunCli("chart --home " + home.string() + " --top 2 --output " + (dir / name).string(), dir / "errors.txt");
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_NE(outcome.errors.find("2 associations of 2 diseases and 2 lncRNAs drawn"), std::string::npos)
        << outcome.errors;
    EXPECT_EQ(test::ReadBytes(dir / name).substr(0, magic.size()), magic) << name;
  }
  const std::string svg = test::ReadBytes(dir / "chart.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);

  fs::rename(home / "tmp", dir / "elsewhere");  // --workdir reads another workspace
  EXPECT_EQ(RunCli("chart --workdir " + (dir / "elsewhere").string() + " --output " + (dir / "w.svg").string(),
                   dir / "errors.txt")
                .status,
            0);
  const std::vector<std::pair<std::string, std::string>> failures = {
      {"chart --home " + home.string() + " --output " + (dir / "a.svg").string(), "result.xls: cannot be read"},
      {"chart --workdir " + (dir / "elsewhere").string() + " --output " + (dir / "a.gif").string(),
       "a.gif: the chart is written as .svg, .png or .pdf"},
      {"chart --workdir " + (dir / "elsewhere").string() + " --output " + (dir / "no/such/a.svg").string(),
       "no/such/a.svg"}};
  for (const auto& [arguments, message] : failures) {
    const Outcome outcome = RunCli(arguments, dir / "errors.txt");
    EXPECT_EQ(outcome.status, 1) << arguments;
    EXPECT_NE(outcome.errors.find(message), std::string::npos) << outcome.errors;
  }
  EXPECT_FALSE(fs::exists(dir / "a.gif"));
  EXPECT_EQ(RunCli("chart --top 0 --output " + (dir / "a.svg").string(), dir / "errors.txt").status, 2);
}

}  // namespace
}  // namespace velmora
