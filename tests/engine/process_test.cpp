#include "engine/process.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

#include "core/run_failure.h"
#include "engine/predictor_runners.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Whether `pid` is gone, or a zombie, within a second: a killed process
// takes a moment to end.
bool EndsSoon(pid_t pid) {
  for (int i = 0; i < 100; ++i, usleep(10000)) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string id, name, state;
    if (!(stat >> id >> name >> state) || state == "Z") return true;
  }
  return false;
}

// One row per command: what the run is told ("no failure" when it ends
// well). Arguments with spaces, quotes and shell marks reach the program
// whole, and a wait does not spin: a spinning one burns the half second.
TEST(ShellAndWait, EveryOutcomeIsNamed) {
  const CommandLine miranda =
      MirandaCommand("/bin/sh", "/a b/lib/small \"mirs\".txt", "/a b/tmp/lncrna_custom_ori.txt", "$out;");
  EXPECT_EQ(miranda.arguments, (std::vector<std::string>{"/bin/sh", "/a b/lib/small \"mirs\".txt",
                                                         "/a b/tmp/lncrna_custom_ori.txt", "-out", "$out;"}));
  std::stop_source stopped;
  stopped.request_stop();
  const struct {
    std::vector<std::string> arguments;
    std::string outcome;
    std::stop_token stop = {};
  } cases[] = {
      {{"/no/such/miranda", "x"}, "lib/miranda could not be started: No such file or directory"},
      {{"/bin/sh", "-c", "echo first >&2; echo 'miranda: bad input' >&2; exit 3"},
       "lib/miranda failed with status 3: miranda: bad input"},
      {{"/bin/sh", "-c", "kill -KILL $$"}, "lib/miranda was ended by signal 9"},
      {{"/bin/sh", "-c", "[ \"$1\" = 'a \"b\" $c;' ] || exit 7", "sh", "a \"b\" $c;"}, "no failure"},
      {{"/bin/sh", "-c", "sleep 30"}, "Stopped", stopped.get_token()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::FailureOf([&] { ShellAndWait(c.stop, {c.arguments}, "lib/miranda"); }), c.outcome);
  }
  // A predictor that leaves something running with its standard error: the
  // run goes on once the predictor ends, and the rest of its group ends too.
  test::TempDir dir;
  const std::string pidFile = (dir / "pid").string();
  for (const auto& [exit, outcome] : {std::pair{"0", "no failure"}, {"2", "lib/miranda failed with status 2: gone"}}) {
    const std::string script = "sleep 30 >&2 & echo $! > '" + pidFile + "'; echo gone >&2; exit " + exit;
    EXPECT_EQ(test::FailureOf([&] { ShellAndWait({}, {{"/bin/sh", "-c", script}}, "lib/miranda"); }), outcome);
    EXPECT_TRUE(EndsSoon(std::stoi(test::ReadBytes(pidFile)))) << "the sleeper outlived the run";
  }
  // Progress comes on the descriptor the environment names, a line a report;
  // anything else there is passed over.
  std::vector<double> reported;
  ShellAndWait({},
               {{"/bin/sh", "-c",
                 "[ \"$VELMORA_PROGRESS_FD\" = 3 ] || exit 9; printf '1 4\\nnoise\\n3 4\\n' >&3; printf '4 ' >&3; "
                 "sleep 0.2; printf '4\\n' >&3"}},
               "lib/miranda", [&](double done) { reported.push_back(done); });
  EXPECT_EQ(reported, (std::vector<double>{0.25, 0.75, 1}));
  const double before = ProcessCpuSeconds();
  ShellAndWait({}, {{"/bin/sh", "-c", "sleep 0.5"}}, "lib/miranda");
  EXPECT_LT(ProcessCpuSeconds() - before, 0.2);
}

}  // namespace
}  // namespace velmora
