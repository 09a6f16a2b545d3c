#include "engine/run_log.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace velmora {
namespace {

TEST(AppendLogLine, StampsTheMessageUnchanged) {
  test::RecordingFrontend frontend;
  AppendLogLine(frontend, "Preprocessing data");
  AppendLogLine(frontend, "");
  ASSERT_EQ(frontend.lines.size(), 2u);
  const std::string& line = frontend.lines[0];
  const std::size_t separator = line.find(" : ");
  ASSERT_NE(separator, std::string::npos);
  EXPECT_EQ(line.substr(separator), " : Preprocessing data");
  EXPECT_EQ(line.substr(0, separator).find(' '), 8u) << line;  // short date, a space, long time
  EXPECT_EQ(frontend.lines[1].substr(frontend.lines[1].size() - 3), " : ");
}

}  // namespace
}  // namespace velmora
