#include "engine/process.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "core/run_failure.h"
#include "engine/predictor_runners.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

std::string FailureOf(const CommandLine& command, const std::stop_token& stop = {}) {
  test::RecordingFrontend frontend;
  try {
    ShellAndWait(frontend, stop, command, "lib/miranda");
  } catch (const RunFailure& failure) {
    return failure.what();
  }
  return "";
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(ShellAndWait, EveryFailureIsNamed) {
  EXPECT_EQ(FailureOf({{"/no/such/miranda", "x"}}), "lib/miranda could not be started: No such file or directory");
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "echo first >&2; echo 'miranda: bad input' >&2; exit 3"}}),
            "lib/miranda failed with status 3: miranda: bad input");
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "kill -KILL $$"}}), "lib/miranda was ended by signal 9");
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "exit 0"}}), "");
}

TEST(ShellAndWait, PathsWithSpacesAndQuotesReachTheProgramWhole) {
  const CommandLine miranda =
      MirandaCommand("/bin/sh", "/a b/lib/small \"mirs\".txt", "/a b/tmp/lncrna_custom_ori.txt", "$out;");
  EXPECT_EQ(miranda.arguments, (std::vector<std::string>{"/bin/sh", "/a b/lib/small \"mirs\".txt",
                                                         "/a b/tmp/lncrna_custom_ori.txt", "-out", "$out;"}));
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "[ \"$1\" = 'a \"b\" $c;' ] || exit 7", "sh", "a \"b\" $c;"}}), "");
}

TEST(ShellAndWait, WaitsWithoutSpinning) {
  const double before = ProcessCpuSeconds();
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "sleep 0.5"}}), "");
  EXPECT_LT(ProcessCpuSeconds() - before, 0.2);  // a spinning wait burns the whole half second
}

TEST(ShellAndWait, StopRequestEndsTheChild) {
  std::stop_source stop;
  stop.request_stop();
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "sleep 30"}}, stop.get_token()), "Stopped");
}

}  // namespace
}  // namespace velmora
