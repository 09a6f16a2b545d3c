// velmora-cli end to end, one row per case: the command line's refusals, the
// inputs and events that once gave a wrong result or lost the last one, and
// the golden runs of map. Each case starts from a copy of an installation
// whose workspace holds a clean run's files; the driver at the end checks the
// exit status, standard error and the files each case leaves.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "core/sha256.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kCli = fs::path(VELMORA_HOME) / "velmora-cli";

// Holds clean.fa and home/, the installation with the clean union run.
const fs::path& Base() {
  static const test::TempDir base;
  return base.path();
}

// One case's folders, and what its steps arrange around the command.
struct Stage {
  fs::path dir, home;                        // the case's folder; HOME, a copy of the installation
  std::string user;                          // who runs the command; "" for the test's own user
  pid_t cli = 0;                             // the command
  std::string errors;                        // what the command wrote to standard error
  std::vector<std::function<void()>> after;  // checks once the command has ended
};
using Step = std::function<void(Stage&)>;

struct Case {
  std::string name;
  std::vector<Step> steps;  // before the command
  std::string arguments;    // {home}, {dir} and {clean} (the clean run's input) filled in
  int status;
  std::string message;  // in the line of standard error that says why: the first for a usage error, else the last
  bool keep = false;    // HOME/tmp keeps every file, or its absence, byte for byte
  // Files the command's workspace must hold anew, byte for byte, and nothing
  // else new: "clean" (every file of the clean run), "clean/NAME" (one), or a
  // folder of tests/golden.
  std::vector<std::string> same = {};
  Step during = nullptr;  // while the command runs
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// velmora-cli with `arguments` through the shell (a pipeline fails when a
// part does), standard error to `errors`, the temporary folder spool/ beside
// it, run by `user` when one is named.
pid_t Start(const std::string& arguments, const fs::path& errors, const std::string& user = "") {
  const std::string command = "set -o pipefail; exec " + (user.empty() ? "" : "runuser -u " + user + " -- ") +
                              "env TMPDIR=" + (errors.parent_path() / "spool").string() + " " + kCli.string() + " " +
                              arguments;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    execl("/bin/bash", "bash", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Running or sleeping: neither gone nor a zombie.
bool Alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string id, name, state;
  return stat >> id >> name >> state && state != "Z";
}

// The children of velmora-cli once it has started one, from /proc.
std::vector<pid_t> WaitForPredictors(pid_t cli) {
  std::vector<pid_t> children;
  for (int i = 0; i < 400 && children.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    for (const auto& entry : fs::directory_iterator("/proc")) {
      std::ifstream stat(entry.path() / "stat");
      std::string pid, name, state, parent;
      if (stat >> pid >> name >> state >> parent && parent == std::to_string(cli)) children.push_back(std::stoi(pid));
    }
  }
  return children;
}

// {dir}/in.fa holding `text`, or {dir}/in.fa.gz holding it compressed.
Step Input(const std::string& text, bool gzip = false) {
  return [=](Stage& run) {
    test::WriteBytes(run.dir / "in.fa", text);
    if (gzip) {
      ASSERT_EQ(std::system(("gzip -f " + (run.dir / "in.fa").string()).c_str()), 0);
    }
  };
}
// A file of HOME ("../NAME" for one of {dir}) changed in place.
Step Changed(const std::string& file, const std::function<void(std::string&)>& change) {
  return [=](Stage& run) {
    std::string bytes = test::ReadBytes(run.home / file);
    change(bytes);
    test::WriteBytes(run.home / file, bytes);
  };
}
Step Moved(const std::string& file, const std::string& to) {
  return [=](Stage& run) { fs::rename(run.home / file, run.dir / to); };
}
// A co-user's link under a name Velmora opens in the workspace, to a file
// of the person running it: the run is refused or goes on, but the file is
// never written, truncated or made writable by others.
Step Planted(const std::string& file) {
  return [=](Stage& run) {
    test::WriteBytes(run.dir / "victim", "mine");
    fs::permissions(run.dir / "victim", fs::perms::owner_read | fs::perms::owner_write);
    fs::remove(run.home / file);
    fs::create_symlink(run.dir / "victim", run.home / file);
    run.after.push_back([victim = run.dir / "victim"] {
      EXPECT_EQ(test::ReadBytes(victim), "mine");
      EXPECT_EQ(fs::status(victim).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    });
  };
}
std::map<std::string, std::string> Files(const fs::path& folder);

// The rest of the row runs as nobody, in folders of nobody's: what holds
// for root holds for an ordinary user. Only root can arrange it.
void AsNobody(Stage& run) {
  if (geteuid() != 0 || std::system(("runuser -u nobody -- test -x " + kCli.string()).c_str()) != 0) {
    GTEST_SKIP() << "this machine cannot run velmora-cli as nobody";
  }
  run.user = "nobody";
  ASSERT_EQ(std::system(("chown -R nobody " + run.dir.string()).c_str()), 0);
}
// A tmpfs of `kib` KiB mounted on {dir}/`folder` for the row: a disk that
// fills. Only root can mount one.
Step SmallDisk(const std::string& folder, int kib) {
  return [=](Stage& run) {
    const fs::path mount = run.dir / folder;
    fs::create_directories(mount);
    const std::string command = "mount -t tmpfs -o size=" + std::to_string(kib) + "k tmpfs " + mount.string();
    if (geteuid() != 0 || std::system((command + " 2>/dev/null").c_str()) != 0) {
      GTEST_SKIP() << "this machine cannot mount a small tmpfs";
    }
    run.after.push_back([=] { EXPECT_EQ(std::system(("umount " + mount.string()).c_str()), 0); });
  };
}
// {dir}/small, a disk that holds the clean run's files and little more, as
// the workspace: the run fails for the full disk and leaves them as they were.
void FullDisk(Stage& run) {
  std::uintmax_t bytes = 0;
  for (const auto& entry : fs::directory_iterator(run.home / "tmp")) bytes += (entry.file_size() + 4095) / 4096 * 4096;
  SmallDisk("small", static_cast<int>(bytes / 1024) + 64)(run);
  if (testing::Test::IsSkipped()) return;
  for (const auto& entry : fs::directory_iterator(run.home / "tmp")) fs::copy(entry.path(), run.dir / "small");
  run.after.insert(run.after.begin(), [&run, last = Files(run.home / "tmp")] {
    EXPECT_TRUE(Files(run.dir / "small") == last) << "the last result";
  });
}
// lib/miranda becomes a wrapper that leaves a process behind holding its
// standard error; the run must not wait for it, and must end it.
void Lingering(Stage& run) {
  fs::rename(run.home / "lib/miranda", run.dir / "miranda");
  test::WriteBytes(run.home / "lib/miranda", "#!/bin/sh\nsleep 600 >&2 &\necho $! > " + (run.dir / "sleeper").string() +
                                                 "\nexec " + (run.dir / "miranda").string() + " \"$@\"\n");
  fs::permissions(run.home / "lib/miranda", fs::perms::owner_all);
  run.after.push_back([&run] { EXPECT_FALSE(Alive(std::stoi(test::ReadBytes(run.dir / "sleeper")))); });
}
// The run's progress in a log: a line per tenth reached, rising, the last
// at 100 %; none at all when quiet.
Step Progress(bool shown) {
  return [=](Stage& run) {
    run.after.push_back([&run, shown] {
      std::vector<int> percents;
      std::istringstream lines(run.errors);
      for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find(" : Progress ");
        if (at != std::string::npos) percents.push_back(std::stoi(line.substr(at + 12)));
      }
      EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
      EXPECT_EQ(percents.empty() ? -1 : percents.back(), shown ? 100 : -1) << run.errors;
      EXPECT_EQ(run.errors.find("Progress 100 % (Mapping)") != std::string::npos, shown) << run.errors;
    });
  };
}
// {dir}/`to`: a copy of the installation's collection, which the row changes
// there while the installation's lib/ loses its reference data.
Step Collection(const std::string& to) {
  return [=](Stage& run) {
    fs::copy(run.home / "lib", run.dir / to);
    fs::remove(run.dir / to / "miranda");
    for (const char* file :
         {"nor_mir.txt", "disease_mirset.txt", "small_mirs.txt", "hsa_mir_seed.txt", "mulnum.txt", "MANIFEST"}) {
      fs::remove(run.home / "lib" / file);
    }
  };
}
// The run's record in {dir}/`file` (--run-info) says how the run ended and
// names the collection's manifest; a completed one counts the result's rows.
Step RunInfo(const std::string& file, const std::string& outcome, const std::string& collection = "home/lib") {
  return [=](Stage& run) {
    run.after.push_back([=, &run] {
      const auto info = nlohmann::json::parse(test::ReadBytes(run.dir / file));
      EXPECT_EQ(info["outcome"], outcome);
      EXPECT_EQ(info["collection"]["manifest_sha256"], Sha256FileHex(run.dir / collection / "MANIFEST"));
      if (outcome != "completed") {
        EXPECT_NE(run.errors.find(info["reason"].get<std::string>()), std::string::npos) << info["reason"];
        return;
      }
      const std::string result = test::ReadBytes(run.home / "tmp/result.xls");
      EXPECT_EQ(info["result_rows"], std::count(result.begin(), result.end(), '\n') - 2);
      EXPECT_EQ(info["stages"].back()["name"], "copies");
    });
  };
}

// HOME becomes the hand-made installation: reference data with its manifest,
// and predictor outputs.
void Fixture(Stage& run) {
  fs::remove_all(run.home);
  fs::copy(fs::path(VELMORA_SOURCE) / "tests/data/home", run.home, fs::copy_options::recursive);
  fs::copy_file(fs::path(VELMORA_HOME) / "lib/mulnum.txt", run.home / "lib/mulnum.txt");
  const std::string manifest = std::string(VELMORA_PREPARE) + " --manifest-only --lib " + (run.home / "lib").string();
  ASSERT_EQ(std::system(manifest.c_str()), 0);
}

// Ten lncRNAs hold the miRNAs of each disease: more associations than the
// window's list holds.
void ManyRows(Stage& run) {
  Fixture(run);
  std::istringstream diseases(test::ReadBytes(run.home / "lib/disease_mirset.txt"));
  std::string scans;
  int lncs = 0;
  for (std::string line, mirna; std::getline(diseases, line);) {
    for (int copy = 0; copy < 10; ++copy, ++lncs) {
      std::istringstream fields(line.substr(line.find('\t') + 1));
      while (std::getline(fields, mirna, '\t'))
        scans += "Performing Scan: " + mirna + " vs L" + std::to_string(lncs) + "\n";
    }
  }
  test::WriteBytes(run.home / "tmp/miranda_out.txt", scans + "Scan Complete\n");
  run.after.push_back(
      [&run] { EXPECT_GT(std::stoul(run.errors.substr(run.errors.rfind('\n', run.errors.size() - 2) + 1)), 10000u); });
}

// lncrna_examples.fa `copies` times over under distinct names: a scan that lasts.
std::string LongFasta(int copies) {
  const std::string examples = test::ReadBytes(fs::path(VELMORA_SHARED_DATA) / "lncrna_examples.fa");
  std::string text;
  for (char copy = '1'; copy < '1' + copies; ++copy) text += Replace(examples, " ", std::string{'_', copy, ' '});
  return text;
}

// A run on the workspace was killed mid-scan and left what it left. After
// it, a run refused for its input (`refused`, in {dir}/in.fa) puts the files
// of the last complete run back, every one of them.
Step Killed(bool refused) {
  return [=](Stage& run) {
    const auto last = Files(run.home / "tmp");
    test::WriteBytes(run.dir / "long.fa", LongFasta(6));
    const pid_t pid = Start("predict --option union --home " + run.home.string() + " " + (run.dir / "long.fa").string(),
                            run.dir / "other.txt");
    EXPECT_FALSE(WaitForPredictors(pid).empty());
    kill(pid, SIGKILL);
    EXPECT_EQ(ExitStatus(pid), 128 + SIGKILL);
    if (!refused) return;
    test::WriteBytes(run.dir / "in.fa", ">LATE\nAC7\n");
    run.after.push_back([home = run.home, last] { EXPECT_TRUE(Files(home / "tmp") == last) << "the last result"; });
  };
}

// A run of the clean input on a workspace of its own goes at the same time,
// and gives the clean result too.
void Beside(Stage& run) {
  const pid_t pid = Start("predict --option union --home " + run.home.string() + " --workdir " +
                              (run.dir / "wa").string() + " " + (Base() / "clean.fa").string(),
                          run.dir / "other.txt");
  run.after.push_back([pid, result = run.dir / "wa/result.xls"] {
    EXPECT_EQ(ExitStatus(pid), 0);
    EXPECT_EQ(test::ReadBytes(result), test::ReadBytes(Base() / "home/tmp/result.xls"));
  });
}

// While the command scans: `signal` to it; its predictors must end with it.
Step Signal(int signal) {
  return [signal](Stage& run) {
    const std::vector<pid_t> predictors = WaitForPredictors(run.cli);
    ASSERT_FALSE(predictors.empty());
    kill(run.cli, signal);
    run.after.push_back([predictors] {
      for (int i = 0; i < 200 && std::ranges::any_of(predictors, Alive); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
      }
      for (pid_t predictor : predictors) EXPECT_FALSE(Alive(predictor)) << "predictor " << predictor << " left";
    });
  };
}

std::vector<Case> Cases() {
  const std::string fasta = test::ReadBytes(fs::path(VELMORA_SHARED_DATA) / "lncrna_small.fa");
  const std::string crlf = Replace(fasta, "\n", "\r\n");
  const std::string predict = "predict --option union --home {home} ", in = predict + "{dir}/in.fa";
  const std::string done = " associations in {home}/tmp/result.xls";
  const std::vector<std::string> clean = {"clean"}, inputs = {"clean/lncrna_custom.txt", "clean/lncrna_custom_ori.txt"};
  const auto golden = [](const std::string& option) {
    return Case("map " + option, {Fixture},
                "map --option " + option + " --home {home} --output {dir}/copy.xls --evidence {dir}/copy.tsv", 0,
                " associations in {home}/tmp/result.xls, copied to {dir}/copy.xls", false, {option});
  };
  const auto dropLastLine = [](std::string& b) { b.erase(b.rfind('\n', b.size() - 2) + 1); };
  return {
      // Input the run refuses with one line naming it, before the workspace is touched.
      Case("a digit on standard input", {Input(fasta + ">LATE\nAC7\n")}, predict + "- < {dir}/in.fa", 1,
           "Input line 46: column 3: the sequence of \">LATE\" holds the character '7'", true),
      Case("a gzip input whose second member is cut after a byte",
           {Input(fasta, true), Changed("../in.fa.gz", [](std::string& b) { b += '\x1f'; })},
           predict + "{dir}/in.fa.gz", 1, "{dir}/in.fa.gz: cannot be read: damaged gzip data", true),
      Case("a workspace file as the input", {}, predict + "{home}/tmp/lncrna_custom_ori.txt", 1,
           "The input is the workspace's own {home}/tmp/lncrna_custom_ori.txt", true),
      Case("standard input larger than half the spool's disk",
           {Input(">BIG\n" + std::string(700'000, 'A') + "\n"), SmallDisk("spool", 1024)}, predict + "- < {dir}/in.fa",
           1, "standard input: more than half the free space of {dir}/spool", true),
      // The installation, checked against its manifest, and --output.
      Case("one digit of mulnum.txt changed", {Changed("lib/mulnum.txt", [](std::string& b) { b[1000] ^= 1; })},
           predict + "{clean}", 1,
           "{home}/lib/mulnum.txt: changed since {home}/lib/MANIFEST was written; rebuild the reference data", true),
      Case("--output into a missing folder", {}, predict + "{clean} --output {dir}/no/r.xls", 1,
           "--output {dir}/no/r.xls: the folder {dir}/no does not exist", true),
      Case("--output onto a folder", {}, predict + "{clean} --output {dir}", 1, "--output {dir}: is a folder", true),
      Case("--output onto the workspace's result", {}, predict + "{clean} --output {home}/tmp/result.xls", 1,
           "--output {home}/tmp/result.xls: a file of the run's own workspace; choose another file", true),
      Case("--output onto the input", {Input(fasta)}, in + " --output {dir}/in.fa", 1,
           "--output {dir}/in.fa: the input file; choose another file", true),
      Case("--output and --evidence one file", {}, predict + "{clean} --output {dir}/r.xls --evidence {dir}/./r.xls", 1,
           "--output {dir}/r.xls and --evidence {dir}/./r.xls: the same file; choose two", true),
      Case("--run-info onto the input", {Input(fasta)}, in + " --run-info {dir}/in.fa", 1,
           "--run-info {dir}/in.fa: the input file; choose another file", true),
      // Another collection: the data come from it alone, checked against its own manifest.
      Case("--reference: a changed disease file",
           {Collection("coll"), Changed("../coll/disease_mirset.txt", [](std::string& b) { b = "x\tm\n"; }),
            RunInfo("info.json", "failed", "coll")},
           predict + "--reference {dir}/coll --run-info {dir}/info.json {clean}", 1,
           "{dir}/coll/disease_mirset.txt: changed since {dir}/coll/MANIFEST was written", true),
      Case("--reference: the installation's lib/ holds only the predictors",
           {Collection("coll"), RunInfo("info.json", "completed", "coll")},
           predict + "--reference {dir}/coll --run-info {dir}/info.json {clean}", 0, done, false,
           {"clean/lnc_mirset.txt", "clean/result.xls", "clean/result_mirnas.tsv"}),
      // Forms of the clean input, and events, that give the clean run's files.
      Case("standard input", {}, predict + "< {clean}", 0, done, false, clean),
      Case("one scanner thread, its progress in the log", {Progress(true)}, predict + "--threads 1 {clean}", 0, done,
           false, clean),
      Case("--quiet", {Progress(false)}, predict + "--quiet {clean}", 0, done, false, clean),
      Case("a gzip input with CR LF", {Input(crlf, true)}, predict + "{dir}/in.fa.gz", 0, done, false, clean),
      Case("prepare from gzip on standard input", {Input(crlf, true)}, "prepare --home {home} - < {dir}/in.fa.gz", 0,
           "", false, inputs),
      Case("standard input closed", {}, predict + "{clean} <&-", 0, done, false, clean),
      Case("a predictor leaving a process that holds its standard error", {Lingering}, predict + "{clean}", 0, done,
           false, clean),
      Case("a full disk, two scanner threads", {FullDisk}, predict + "--threads 2 --workdir {dir}/small {clean}", 1,
           "No space left on device", true),
      Case("a standard error closed after a line", {}, predict + "{clean} 2>&1 | head -1 >&2", 0,
           " : Workspace: {home}/tmp", false, clean),
      Case("a run beside another on a workspace of its own", {Beside}, predict + "--workdir {dir}/wb {clean}", 0,
           " associations in {dir}/wb/result.xls", true, clean),
      Case("a run after one killed mid-scan", {Killed(false)}, predict + "{clean}", 0, done, false, clean),
      Case("a refused run after one killed mid-scan puts the last result back", {Killed(true)}, in, 1,
           "the sequence of \">LATE\" holds the character '7'"),
      Case("a link planted as the lock", {Planted("tmp/.velmora-lock")}, predict + "{clean}", 1,
           ".velmora-lock: Too many levels of symbolic links", true),
      Case("links planted as a result's and --output's temporary files",
           {Planted("tmp/result.xls.partial"), Planted("../r.xls.partial")}, predict + "{clean} --output {dir}/r.xls",
           0, done, false, clean),
      Case("map: a link planted as a set file's temporary file", {Fixture, Planted("tmp/lnc_mirset.txt.partial")},
           "map --option union --home {home}", 0, done, false, {"union"}),
      Case("as nobody: a link planted as the lock", {Input(fasta), Planted("tmp/.velmora-lock"), AsNobody}, in, 1,
           ".velmora-lock: Too many levels of symbolic links", true),
      Case("as nobody: a link planted as a result's temporary file",
           {Input(fasta), Planted("tmp/result.xls.partial"), AsNobody}, in, 0, done, false, clean),
      // A signal ends the run and its predictors; the last result stays.
      Case("SIGTERM mid-scan", {Input(LongFasta(6)), RunInfo("info.json", "stopped")},
           in + " --run-info {dir}/info.json", 128 + SIGTERM, " : Stopped", true, {}, Signal(SIGTERM)),
      Case("SIGINT mid-scan", {Input(LongFasta(6))}, in, 128 + SIGINT, " : Stopped", true, {}, Signal(SIGINT)),
      Case("SIGKILL mid-scan", {Input(LongFasta(6))}, in, 128 + SIGKILL, "", false, {}, Signal(SIGKILL)),
      // map: the golden files of each option (union's with --workdir), and its refusals.
      golden("targetscan"),
      golden("miranda"),
      golden("intersection"),
      Case("map with the collection and the workspace elsewhere", {Fixture, Moved("lib", "coll"), Moved("tmp", "work")},
           "map --option union --home {home} --reference {dir}/coll --workdir {dir}/work", 0,
           " associations in {dir}/work/result.xls", true, {"union"}),
      Case("map beyond the window's 10000 rows", {ManyRows}, "map --option miranda --home {home}", 0, done),
      Case("map: a folder for a predictor output",
           {Fixture, Moved("tmp/targetscan60_out.txt", "gone"),
            [](Stage& run) { fs::create_directory(run.home / "tmp/targetscan60_out.txt"); }},
           "map --home {home}", 1, "{home}/tmp/targetscan60_out.txt: file not found", true),
      Case("map: disease_mirset.txt with 371 lines", {Fixture, Changed("lib/disease_mirset.txt", dropLastLine)},
           "map --option union --home {home}", 1, "{home}/lib/disease_mirset.txt: changed since", true),
      Case("map on a site finder output cut short",
           {Fixture, Changed("tmp/targetscan60_out.txt", [](std::string& b) { b.pop_back(); })},
           "map --option union --home {home}", 1,
           "{home}/tmp/targetscan60_out.txt: line 90: ends without a line end; the site finder's output was cut short",
           true),
      Case("map on a scanner output cut short",
           {Changed("tmp/miranda_out.txt", [](std::string& b) { b.resize(b.size() / 2); })},
           "map --option union --home {home}", 1,
           "{home}/tmp/miranda_out.txt: ends before the scanner's closing line \"Scan Complete\"", true),
      // chart draws the workspace's result.
      Case("chart as PDF", {[](Stage& run) {
             run.after.push_back([&run] { EXPECT_TRUE(test::ReadBytes(run.dir / "c.PDF").starts_with("%PDF-")); });
           }},
           "chart --home {home} --top 2 --output {dir}/c.PDF", 0,
           "2 associations of 2 diseases and 1 lncRNAs drawn in {dir}/c.PDF", true),
      Case("chart of another workspace", {Moved("tmp", "elsewhere")},
           "chart --home {home} --workdir {dir}/elsewhere --output {dir}/c.svg", 0, " drawn in {dir}/c.svg", true),
      Case("chart without a result", {Moved("tmp/result.xls", "gone")}, "chart --home {home} --output {dir}/c.svg", 1,
           "{home}/tmp/result.xls: cannot be read", true),
      // Usage errors.
      Case("an option value not offered", {}, "map --option both", 2,
           "--option: both not in {intersection,miranda,targetscan,union}"),
      Case("an unknown command", {}, "frobnicate", 2, ""),
      Case("no command", {}, "", 2, "A subcommand is required"),
      Case("chart --top 0", {}, "chart --top 0 --output {dir}/c.svg", 2, "--top: Value 0 not in range"),
  };
}

// A folder's files by name, the lock aside; an absent folder reads as such.
std::map<std::string, std::string> Files(const fs::path& folder) {
  if (!fs::is_directory(folder)) return {{"", "absent"}};
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    if (name != ".velmora-lock") files[name] = entry.is_directory() ? "a folder" : test::ReadBytes(entry.path());
  }
  return files;
}

// The word after `option` in the arguments, or "".
std::string OptionValue(const std::string& arguments, const std::string& option) {
  const std::size_t at = arguments.find(option + " ");
  if (at == std::string::npos) return "";
  const std::size_t from = at + option.size() + 1;
  return arguments.substr(from, arguments.find(' ', from) - from);
}

std::string Fill(std::string text, const Stage& run) {
  text = Replace(Replace(text, "{home}", run.home.string()), "{dir}", run.dir.string());
  return Replace(text, "{clean}", (Base() / "clean.fa").string());
}

// The files of Case::same by name; the clean run's paths read as the case's.
std::map<std::string, std::string> Expected(const Case& c, const Stage& run, const fs::path& workspace) {
  const fs::path clean = Base() / "home";
  std::map<std::string, std::string> files;
  for (const std::string& source : c.same) {
    const bool fromClean = source.starts_with("clean");
    for (const auto& [name, bytes] :
         Files(fromClean ? clean / "tmp" : fs::path(VELMORA_SOURCE) / "tests/golden" / source)) {
      if (fromClean && source != "clean" && source != "clean/" + name) continue;
      if (name == "run_info.json") continue;  // its times differ; RunInfo checks it
      files[name] =
          Replace(Replace(bytes, (clean / "tmp").string(), workspace.string()), clean.string(), run.home.string());
    }
  }
  return files;
}

class Cli : public ::testing::TestWithParam<Case> {
 protected:
  // The installation copied from the build, with a clean union run of three
  // lncRNAs in its workspace.
  static void SetUpTestSuite() {
    const fs::path home = Base() / "home";
    if (!fs::create_directory(home)) return;  // made by an earlier repetition
    fs::create_directory(home / "tmp");       // as the build lays it out
    fs::copy(fs::path(VELMORA_HOME) / "lib", home / "lib");
    fs::copy(fs::path(VELMORA_HOME) / "perlbin", home / "perlbin");
    fs::copy_file(fs::path(VELMORA_SHARED_DATA) / "lncrna_small.fa", Base() / "clean.fa");
    const pid_t run = Start("predict --option union --home " + home.string() + " " + (Base() / "clean.fa").string(),
                            Base() / "errors.txt");
    ASSERT_EQ(ExitStatus(run), 0) << test::ReadBytes(Base() / "errors.txt");
    ASSERT_NE(test::ReadBytes(home / "tmp/result.xls").find(">MEG3\t"), std::string::npos);
    const std::string inputs = test::ReadBytes(home / "tmp/lncrna_custom.txt");
    ASSERT_EQ(std::count(inputs.begin(), inputs.end(), '\n'), 3) << "a line per record";
  }
};

TEST_P(Cli, Case) {
  const Case& c = GetParam();
  test::TempDir dir;
  Stage run;
  run.dir = dir.path();
  run.home = dir / "home";
  fs::copy(Base() / "home", run.home, fs::copy_options::recursive);
  fs::create_directory(dir / "spool");
  for (const Step& step : c.steps) step(run);
  if (HasFatalFailure() || IsSkipped()) return;
  const std::string arguments = Fill(c.arguments, run);
  const fs::path workdir = OptionValue(arguments, "--workdir");
  const fs::path workspace = workdir.empty() ? run.home / "tmp" : workdir;
  const std::map<std::string, std::string> expected = Expected(c, run, workspace);
  for (const auto& [name, bytes] : expected) fs::remove(workspace / name);  // to be written anew
  const auto before = Files(workspace);
  const auto installation = Files(run.home / "tmp");
  const fs::path output = OptionValue(arguments, "--output"), evidence = OptionValue(arguments, "--evidence");
  const bool outputExisted = fs::exists(output);

  run.cli = Start(arguments, dir / "errors.txt", run.user);
  if (c.during) c.during(run);
  const int status = ExitStatus(run.cli);
  run.errors = test::ReadBytes(dir / "errors.txt");
  for (const auto& check : run.after) check();

  // Standard error: for a failure one line says why, the last, and before it
  // at most the workspace, the collection, the predictors started, progress
  // lines and the progress line of map. No line repeats, none speaks of the
  // window's list.
  EXPECT_EQ(status, c.status) << run.errors;
  std::vector<std::string> lines;
  std::istringstream text(run.errors);
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  const std::string why = lines.empty() ? "" : c.status == 2 ? lines.front() : lines.back();
  EXPECT_NE(why.find(Fill(c.message, run)), std::string::npos) << Fill(c.message, run) << " in\n" << run.errors;
  for (std::size_t i = 0; c.status == 1 && i + 1 < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].ends_with(" : Preprocessing data") || lines[i].ends_with(", which may take a long time") ||
                lines[i].find(" : Workspace: /") != std::string::npos ||
                lines[i].find(" : Reference: ") != std::string::npos ||
                lines[i].find(" : Progress ") != std::string::npos)
        << lines[i];
  }
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size()) << run.errors;
  EXPECT_EQ(run.errors.find("listview"), std::string::npos);

  // The files: no spool of standard input is left, a failed run makes no
  // copy, a copy equals its workspace file.
  EXPECT_TRUE(fs::is_empty(dir / "spool"));
  if (status != 0 && !output.empty()) {
    EXPECT_EQ(fs::exists(output), outputExisted) << output;
  }
  if (status == 0 && !output.empty() && !arguments.starts_with("chart")) {
    EXPECT_EQ(test::ReadBytes(output), test::ReadBytes(workspace / "result.xls"));
  }
  if (status == 0 && !evidence.empty()) {
    EXPECT_EQ(test::ReadBytes(evidence), test::ReadBytes(workspace / "result_mirnas.tsv"));
  }
  if (c.keep) {
    EXPECT_TRUE(Files(run.home / "tmp") == installation) << "HOME/tmp changed";
  }
  if (c.same.empty()) return;
  const auto after = Files(workspace);
  EXPECT_FALSE(expected.empty());
  for (const auto& [name, bytes] : expected) {
    EXPECT_TRUE(after.contains(name) && after.at(name) == bytes) << name << " differs or is missing";
  }
  for (const auto& [name, bytes] : after) {
    EXPECT_TRUE(expected.contains(name) || before.contains(name) || name == "run_info.json")
        << name << " should not have been written";
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, Cli, ::testing::ValuesIn(Cases()), [](const auto& info) {
  std::string name = info.param.name;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});

}  // namespace
}  // namespace velmora
