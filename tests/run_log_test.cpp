#include "stats/run_log.h"

#include <gtest/gtest.h>

#include <clocale>

namespace velmora {
namespace {

class LineKeeper : public Frontend {
 public:
  void ShowLogLine(std::string_view line) override { lines.emplace_back(line); }
  std::int32_t ResultRowCount() const override { return 0; }
  void ShowResultRow(const ResultRow&) override {}
  void ProcessEvents() override {}
  std::vector<std::string> lines;
};

TEST(AppendLogLine, StampsTheMessageUnchanged) {
  LineKeeper frontend;
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

TEST(DateTimeText, ShortDateAndLongTimeOfTheLocale) {
  std::setlocale(LC_TIME, "C");
  std::tm when{};
  when.tm_year = 126;
  when.tm_mon = 11;
  when.tm_mday = 6;
  when.tm_hour = 9;
  when.tm_min = 5;
  when.tm_sec = 7;
  when.tm_isdst = -1;
  EXPECT_EQ(DateTimeText(std::mktime(&when)), "12/06/26 09:05:07");
}

}  // namespace
}  // namespace velmora
