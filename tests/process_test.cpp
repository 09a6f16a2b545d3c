#include "run/process.h"

#include <gtest/gtest.h>

#include "run/predictor_runners.h"
#include "run/run_failure.h"
#include "tests/test_support.h"

namespace velmora {
namespace {

std::string FailureOf(const CommandLine& command, test::RecordingFrontend& frontend) {
  try {
    ShellAndWait(frontend, command, "lib/miranda");
  } catch (const RunFailure& failure) {
    return failure.what();
  }
  return "";
}

TEST(CommandLines, EveryPathIsQuotedWhole) {
  EXPECT_EQ(TargetScanCommand("/opt/my lab/velmora", "/opt/my lab/velmora/lib/hsa_mir_seed.txt",
                              "/opt/my lab/velmora/tmp/lncrna_custom.txt", "/opt/my lab/velmora/tmp/targetscan60_out.txt")
                .Text(),
            "\"/opt/my lab/velmora/perlbin/targetscan_60\" \"/opt/my lab/velmora/lib/hsa_mir_seed.txt\" "
            "\"/opt/my lab/velmora/tmp/lncrna_custom.txt\" \"/opt/my lab/velmora/tmp/targetscan60_out.txt\"");
  const CommandLine miranda = MirandaCommand("/a b/lib/miranda", "/a b/lib/small_mirs.txt",
                                             "/a b/tmp/lncrna_custom_ori.txt", "/a b/tmp/miranda_out.txt");
  EXPECT_EQ(miranda.Text(),
            "\"/a b/lib/miranda\" \"/a b/lib/small_mirs.txt\" \"/a b/tmp/lncrna_custom_ori.txt\" -out "
            "\"/a b/tmp/miranda_out.txt\"");
  // The program gets the arguments as they are, without a shell.
  EXPECT_EQ(miranda.arguments,
            (std::vector<std::string>{"/a b/lib/miranda", "/a b/lib/small_mirs.txt", "/a b/tmp/lncrna_custom_ori.txt",
                                      "-out", "/a b/tmp/miranda_out.txt"}));
}

TEST(ShellAndWait, ProgramThatCannotStartIsNamed) {
  test::RecordingFrontend frontend;
  EXPECT_EQ(FailureOf({{"/no/such/miranda", "x"}}, frontend),
            "lib/miranda could not be started: No such file or directory");
}

TEST(ShellAndWait, NonZeroStatusCarriesTheLastErrorLine) {
  test::RecordingFrontend frontend;
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "echo first >&2; echo 'miranda: bad input' >&2; exit 3"}}, frontend),
            "lib/miranda failed with status 3: miranda: bad input");
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "exit 0"}}, frontend), "");
}

TEST(ShellAndWait, ArgumentsReachTheProgramUnchanged) {
  test::RecordingFrontend frontend;
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "[ \"$1\" = 'a \"b\" $c;' ] || exit 7", "sh", "a \"b\" $c;"}}, frontend), "");
}

TEST(ShellAndWait, FrontEndGetsTurnsWithoutBusyWaiting) {
  test::RecordingFrontend frontend;
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "sleep 0.5"}}, frontend), "");
  EXPECT_GE(frontend.yields, 2);
  EXPECT_LE(frontend.yields, 100);  // a spinning wait would take thousands of turns
}

TEST(ShellAndWait, StopRequestEndsTheChild) {
  test::RecordingFrontend frontend;
  frontend.stopAfterYields = 2;
  EXPECT_EQ(FailureOf({{"/bin/sh", "-c", "sleep 30"}}, frontend), "lib/miranda was stopped");
}

}  // namespace
}  // namespace velmora
