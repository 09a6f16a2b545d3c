// velmora-cli against every input and event that once gave a wrong result
// or lost the last one: each is refused with one line before anything is
// deleted, or gives the result of the clean input.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kCli = fs::path(VELMORA_HOME) / "velmora-cli";
const std::string kFasta = test::ReadBytes(fs::path(VELMORA_SHARED_DATA) / "lncrna_small.fa");

// lncrna_examples.fa `copies` times over under distinct names: a scan that lasts.
std::string LongFasta(int copies) {
  const std::string examples = test::ReadBytes(fs::path(VELMORA_SHARED_DATA) / "lncrna_examples.fa");
  std::string text;
  for (int copy = 1; copy <= copies; ++copy) {
    for (std::size_t at = 0; at < examples.size();) {
      std::size_t end = examples.find('\n', at);
      end = end == std::string::npos ? examples.size() : end + 1;
      const std::string_view line = std::string_view(examples).substr(at, end - at);
      const std::size_t nameEnd = line.starts_with(">") ? line.find_first_of(" \n") : 0;
      text += line.substr(0, nameEnd);
      if (nameEnd != 0) text.append("_").append(std::to_string(copy));
      text += line.substr(nameEnd);
      at = end;
    }
  }
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

struct Outcome {
  int status;
  std::string errors;
};

Outcome RunCli(const std::string& arguments, const fs::path& errors) {
  const int status = std::system((kCli.string() + " " + arguments + " 2>" + errors.string()).c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadBytes(errors)};
}

// An installation copied from the build, and the result of a first union run
// on the clean input, which every later case must leave as it is.
class CliRobustness : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    base_ = new test::TempDir;
    const fs::path home = *base_ / "home";
    fs::create_directory(home);
    fs::copy(fs::path(VELMORA_HOME) / "lib", home / "lib");
    fs::copy(fs::path(VELMORA_HOME) / "perlbin", home / "perlbin");
    test::WriteBytes(*base_ / "clean.fa", kFasta);
    const Outcome first = RunCli(Predict(home, *base_ / "clean.fa"), *base_ / "errors.txt");
    ASSERT_EQ(first.status, 0) << first.errors;
  }
  static void TearDownTestSuite() { delete base_; }

  static std::string Predict(const fs::path& home, const fs::path& input, const std::string& extra = "") {
    return "predict --option union --home " + home.string() + " " + extra + " " + input.string();
  }

  void SetUp() override { fs::copy(*base_ / "home", home, fs::copy_options::recursive); }
  std::string Result() const { return test::ReadBytes(home / "tmp/result.xls"); }
  static std::string CleanResult() { return test::ReadBytes(*base_ / "home/tmp/result.xls"); }

  static inline test::TempDir* base_ = nullptr;
  test::TempDir dir;
  const fs::path home = dir / "home";
};

struct Refusal {
  std::string row;                                                       // the case, as a reader names it
  std::function<std::string(const fs::path&, const fs::path&)> prepare;  // (home, dir) -> arguments
  std::string message;                                                   // in the one line that says why
};

std::function<std::string(const fs::path&, const fs::path&)> Input(const std::string& text) {
  return [text](const fs::path& home, const fs::path& dir) {
    test::WriteBytes(dir / "in.fa", text);
    return "predict --option union --home " + home.string() + " " + (dir / "in.fa").string();
  };
}

std::function<std::string(const fs::path&, const fs::path&)> Changed(const std::string& file,
                                                                     const std::function<void(std::string&)>& change) {
  return [file, change](const fs::path& home, const fs::path& dir) {
    std::string bytes = test::ReadBytes(home / file);
    change(bytes);
    test::WriteBytes(home / file, bytes);
    return Input(kFasta)(home, dir);
  };
}

std::function<std::string(const fs::path&, const fs::path&)> Output(
    const std::function<std::string(const fs::path&, const fs::path&)>& where) {
  return [where](const fs::path& home, const fs::path& dir) {
    return Input(kFasta)(home, dir) + " --output " + where(home, dir);
  };
}

TEST_F(CliRobustness, EveryRefusalIsOneLineBeforeAnythingIsDeleted) {
  const std::string cut = kFasta.substr(0, kFasta.find('\n') + 1);  // the first header
  const std::vector<Refusal> rows = {
      {"digits in a sequence", Input(cut + "ACGU12ACGU\n"),
       "column 5: the sequence of \">HULC\" holds the character '1'"},
      {"* in a sequence", Input(cut + "ACGU*\n"), "holds the character '*'"},
      {"NUL in a sequence", Input(cut + std::string("AC\0GU\n", 6)), "holds the byte 0x00"},
      {"> in a sequence", Input(cut + "ACG>U\n"), "holds the character '>'"},
      {"> alone", Input(">\nACGU\n"), "Input line 1: the header has no name"},
      {"an empty record", Input(">A\n>B\nACGU\n"), "Input line 1: the record \">A\" has no sequence"},
      {"> NAME", Input("> NAME\nACGU\n"), "Input line 1: the header has no name"},
      {"text before the first header", Input("notes\n" + kFasta), "Input line 1: text before the first header"},
      {"two records with one name", Input(">X\nACGU\n>X\nGG\n"), "Input line 3: the name \">X\" repeats"},
      {"names differing in case", Input(">Gas5\nACGU\n>GAS5\nGG\n"), "Input line 3: the name \">GAS5\" repeats"},
      {"a digit past the first megabyte", Input(kFasta + ">LONG\n" + std::string(1 << 20, 'A') + "7\n"),
       "column 1048577: the sequence of \">LONG\" holds the character '7'"},
      {"a name repeated at the end", Input(kFasta + ">hulc\nACGU\n"), "the name \">hulc\" repeats"},
      {"a gzip input cut short",
       [](const fs::path& home, const fs::path& dir) {
         test::WriteBytes(dir / "in.fa", LongFasta(2));
         EXPECT_EQ(std::system(("gzip -f " + (dir / "in.fa").string()).c_str()), 0);
         const std::string whole = test::ReadBytes(dir / "in.fa.gz");
         test::WriteBytes(dir / "in.fa.gz", whole.substr(0, whole.size() - 100));
         return "predict --home " + home.string() + " " + (dir / "in.fa.gz").string();
       },
       "in.fa.gz: cannot be read: damaged gzip data"},
      {"a digit on standard input",
       [](const fs::path& home, const fs::path& dir) {
         test::WriteBytes(dir / "in.fa", kFasta + ">LATE\nAC7\n");
         return "predict --home " + home.string() + " - < " + (dir / "in.fa").string();
       },
       "column 3: the sequence of \">LATE\" holds the character '7'"},
      {"one digit of mulnum.txt changed",
       Changed("lib/mulnum.txt", [](std::string& b) { b[1000] = b[1000] == '7' ? '8' : '7'; }),
       "lib/mulnum.txt: changed since"},
      {"disease_mirset.txt with CR LF",
       Changed("lib/disease_mirset.txt",
               [](std::string& b) {
                 std::string crlf;
                 for (char c : b) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
                 b = crlf;
               }),
       "lib/disease_mirset.txt: changed since"},
      {"nor_mir.txt with LF", Changed("lib/nor_mir.txt", [](std::string& b) { std::erase(b, '\r'); }),
       "lib/nor_mir.txt: changed since"},
      {"an empty small_mirs.txt", Changed("lib/small_mirs.txt", [](std::string& b) { b.clear(); }),
       "lib/small_mirs.txt: changed since"},
      {"disease_mirset.txt with 371 lines",
       Changed("lib/disease_mirset.txt", [](std::string& b) { b.erase(b.rfind('\n', b.size() - 2) + 1); }),
       "lib/disease_mirset.txt: changed since"},
      {"no MANIFEST",
       [](const fs::path& home, const fs::path& dir) {
         fs::remove(home / "lib/MANIFEST");
         return Input(kFasta)(home, dir);
       },
       "lib/MANIFEST: missing; rebuild the reference data"},
      {"predictor not executable",
       [](const fs::path& home, const fs::path& dir) {
         fs::permissions(home / "lib/miranda", fs::perms::owner_read);
         return Input(kFasta)(home, dir);
       },
       "lib/miranda: not executable"},
      {"a folder as input",
       [](const fs::path& home, const fs::path& dir) { return "predict --home " + home.string() + " " + dir.string(); },
       "cannot be read: Is a directory"},
      {"a FIFO as input",
       [](const fs::path& home, const fs::path& dir) {
         mkfifo((dir / "fifo").c_str(), 0600);
         return "predict --home " + home.string() + " " + (dir / "fifo").string();
       },
       "fifo: cannot be read: not a regular file"},
      {"a binary file as input",
       [](const fs::path& home, const fs::path&) {
         return "predict --home " + home.string() + " " + (home / "perlbin/targetscan_60").string();
       },
       "Input line 1: "},
      {"--output into a missing folder",
       Output([](const fs::path&, const fs::path& dir) { return (dir / "no/r.xls").string(); }), "does not exist"},
      {"--output onto a folder", Output([](const fs::path&, const fs::path& dir) { return dir.string(); }),
       ": is a folder"},
      {"--output onto tmp/result.xls",
       Output([](const fs::path& home, const fs::path&) { return (home / "tmp/result.xls").string(); }),
       "a file of the run's own workspace"},
      {"map on a scanner output cut short",
       [](const fs::path& home, const fs::path&) {
         std::string out = test::ReadBytes(home / "tmp/miranda_out.txt");
         test::WriteBytes(home / "tmp/miranda_out.txt", out.substr(0, out.size() / 2));
         return "map --option union --home " + home.string();
       },
       "miranda_out.txt: ends before the scanner's closing line \"Scan Complete\""},
  };
  for (const Refusal& row : rows) {
    SCOPED_TRACE(row.row);
    fs::remove_all(home);
    fs::remove_all(dir / "in.fa");
    SetUp();
    const std::string inputs = test::ReadBytes(home / "tmp/lncrna_custom.txt");
    const Outcome outcome = RunCli(row.prepare(home, dir.path()), dir / "errors.txt");
    EXPECT_EQ(outcome.status, 1);
    // One line says why, the last; before it at most the progress line of map.
    const std::vector<std::string> lines = Lines(outcome.errors);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find(row.message), std::string::npos) << outcome.errors;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
      EXPECT_TRUE(lines[i].ends_with(" : Preprocessing data")) << lines[i];
    EXPECT_EQ(Result(), CleanResult()) << "the previous result stays, byte for byte";
    EXPECT_EQ(test::ReadBytes(home / "tmp/lncrna_custom.txt"), inputs) << "and so does the list";
  }
}

// Blanks and marks that used to change the result are read as the clean input.
TEST_F(CliRobustness, HarmlessVariantsGiveTheCleanResult) {
  std::string spaced, tabbed, tabBeforeHeader;
  for (std::size_t at = 0; at < kFasta.size();) {
    std::size_t end = kFasta.find('\n', at);
    end = end == std::string::npos ? kFasta.size() : end + 1;
    const std::string line = kFasta.substr(at, end - at);
    const bool header = line.starts_with(">");
    spaced += header ? line : line.substr(0, 10) + " " + line.substr(10);
    tabbed += header ? line : line.substr(0, line.size() - 1) + "\t\n";
    tabBeforeHeader += header ? "\t" + line : line;
    at = end;
  }
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"spaces inside sequence lines", spaced},
      {"a TAB after sequence lines", tabbed},
      {"a TAB before >", tabBeforeHeader},
      {"a UTF-8 byte-order mark", "\xEF\xBB\xBF" + kFasta},
  };
  for (const auto& [row, text] : rows) {
    SCOPED_TRACE(row);
    test::WriteBytes(dir / "in.fa", text);
    const Outcome outcome = RunCli(Predict(home, dir / "in.fa"), dir / "errors.txt");
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(Result(), CleanResult());
  }
}

TEST_F(CliRobustness, AClosedStandardErrorDoesNotStopTheRun) {
  fs::remove(home / "tmp/result.xls");
  const std::string command = "( " + kCli.string() + " " + Predict(home, *base_ / "clean.fa") + "; echo $? >" +
                              (dir / "status").string() + " ) 2>&1 | head -1 >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(test::ReadBytes(dir / "status"), "0\n");
  EXPECT_EQ(Result(), CleanResult());
}

// Starts velmora-cli in the background; returns its pid.
pid_t Start(const std::string& arguments, const fs::path& errors) {
  const pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", ("exec " + kCli.string() + " " + arguments + " 2>" + errors.string()).c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The children of a process, from /proc.
std::vector<pid_t> Children(pid_t parent) {
  std::vector<pid_t> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, name, state, ppid;
    if (stat >> pid >> name >> state >> ppid && ppid == std::to_string(parent)) children.push_back(std::stoi(pid));
  }
  return children;
}

// Running, or sleeping: anything but gone or a zombie.
bool Alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string id, name, state;
  return stat >> id >> name >> state && state != "Z";
}

std::vector<pid_t> WaitForPredictor(pid_t cli) {
  for (int i = 0; i < 400; ++i) {
    if (auto children = Children(cli); !children.empty()) return children;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return {};
}

TEST_F(CliRobustness, OneRunPerWorkspaceAndParallelRunsOnTwo) {
  test::WriteBytes(dir / "long.fa", LongFasta(6));
  const pid_t first = Start(Predict(home, dir / "long.fa"), dir / "e1.txt");
  ASSERT_FALSE(WaitForPredictor(first).empty());
  const Outcome second = RunCli(Predict(home, *base_ / "clean.fa"), dir / "e2.txt");
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.errors.find("another run (pid " + std::to_string(first) + ") is using " + (home / "tmp").string() +
                               "; wait for it or give --workdir"),
            std::string::npos)
      << second.errors;
  kill(first, SIGTERM);  // its result is not needed
  EXPECT_EQ(ExitStatus(first), 128 + SIGTERM);

  // Two workspaces at once: each result as a run alone gives it.
  test::WriteBytes(dir / "examples.fa", LongFasta(1));
  const pid_t a = Start(Predict(home, dir / "examples.fa", "--workdir " + (dir / "wa").string()), dir / "ea.txt");
  const Outcome b = RunCli(Predict(home, dir / "examples.fa", "--workdir " + (dir / "wb").string()), dir / "eb.txt");
  EXPECT_EQ(b.status, 0) << b.errors;
  EXPECT_EQ(ExitStatus(a), 0) << test::ReadBytes(dir / "ea.txt");
  const Outcome solo =
      RunCli(Predict(home, dir / "examples.fa", "--workdir " + (dir / "solo").string()), dir / "e.txt");
  ASSERT_EQ(solo.status, 0) << solo.errors;
  EXPECT_EQ(test::ReadBytes(dir / "wa/result.xls"), test::ReadBytes(dir / "solo/result.xls"));
  EXPECT_EQ(test::ReadBytes(dir / "wb/result.xls"), test::ReadBytes(dir / "solo/result.xls"));
}

// Stopped by a signal mid-scan: no predictor left, exit 128 + signal, and the
// next run on the workspace is right. Killed outright, the predictor dies too.
TEST_F(CliRobustness, ASignalEndsThePredictorWithTheRun) {
  test::WriteBytes(dir / "long.fa", LongFasta(6));
  for (int signal : {SIGTERM, SIGINT, SIGKILL}) {
    SCOPED_TRACE(signal);
    const pid_t cli = Start(Predict(home, dir / "long.fa"), dir / "e.txt");
    const std::vector<pid_t> predictors = WaitForPredictor(cli);
    ASSERT_FALSE(predictors.empty());
    kill(cli, signal);
    EXPECT_EQ(ExitStatus(cli), 128 + signal);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    for (pid_t predictor : predictors) EXPECT_FALSE(Alive(predictor)) << "predictor " << predictor << " left";
    if (signal != SIGKILL) {
      EXPECT_TRUE(test::ReadBytes(dir / "e.txt").ends_with(" : Stopped\n"));
    }
  }
  const Outcome next = RunCli(Predict(home, *base_ / "clean.fa"), dir / "e.txt");
  EXPECT_EQ(next.status, 0) << next.errors;
  EXPECT_EQ(Result(), CleanResult());
}

}  // namespace
}  // namespace velmora
