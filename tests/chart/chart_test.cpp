#include "chart/chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr char kHeader[] = "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n";

std::string Line(const std::string& lnc, const std::string& disease, int a, const std::string& p) {
  return lnc + "\t" + disease + "\t" + std::to_string(a) + "\t1\t2\t3\t" + p + "\t1\t-1\n";
}

TEST(ReadResultPoints, TakesNameAPValueOfEachLine) {
  test::TempDir dir;
  test::WriteBytes(dir / "r.xls",
                   kHeader + Line(">L1", "Glioma", 3, "5.92059799510842E-08") + Line(">L2", "Asthma", 12, "0.05"));
  const auto points = ReadResultPoints(dir / "r.xls");
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(std::tie(points[0].lnc, points[0].disease, points[0].a), std::make_tuple(">L1", "Glioma", 3));
  EXPECT_DOUBLE_EQ(points[0].p, 5.92059799510842E-08);
  EXPECT_DOUBLE_EQ(points[1].p, 0.05);

  test::WriteBytes(dir / "empty.xls", kHeader);
  EXPECT_TRUE(ReadResultPoints(dir / "empty.xls").empty());
  // One row per line that must not draw: the file's fourth line, and the message's end.
  std::vector<std::pair<std::string, std::string>> refused = {
      {"not\ta result line\n", " is not an association line (nine TAB-separated fields)"}};
  for (const auto& [a, p] : {std::pair{3, "nan"}, {3, "inf"}, {3, "1.5"}, {3, "-0.01"}, {0, "0.01"}, {-4, "0.01"}}) {
    refused.emplace_back(Line(">L2", "Asthma", a, p),
                         ": a = " + std::to_string(a) + ", P-value = " + p + " (an association shares");
  }
  for (const auto& [line, message] : refused) {
    test::WriteBytes(dir / "bad.xls", kHeader + Line(">L1", "Glioma", 3, "0.01") + line);
    const std::string failure = test::FailureOf([&] { ReadResultPoints(dir / "bad.xls"); });
    EXPECT_EQ(failure.rfind((dir / "bad.xls").string() + ": line 4" + message, 0), 0u) << failure;
  }
  EXPECT_NE(test::FailureOf([&] { ReadResultPoints(dir / "missing.xls"); }).find("missing.xls: cannot be read"),
            std::string::npos);
}

TEST(TopDiseases, SmallestPFirstWithTheirLncRnas) {
  const std::vector<ResultPoint> points = {{">A", "Asthma", 2, 0.01},  {">B", "Glioma", 5, 0.03},
                                           {">C", "Asthma", 4, 0.002}, {">B", "Lupus", 1, 0.002},
                                           {">D", "Gout", 1, 0.04},    {">C", "Glioma", 3, 0.0001}};
  const ChartData data = TopDiseases(points, 3);
  // Glioma 0.0001; Asthma and Lupus tie at 0.002 and keep the order they first appear in.
  EXPECT_EQ(data.diseases, (std::vector<std::string>{"Glioma", "Asthma", "Lupus"}));
  EXPECT_EQ(data.lncs, (std::vector<std::string>{"A", "B", "C"}));  // D only has Gout, which is left out
  std::string dots;  // disease, lncRNA and a of each dot, in the order of the points
  for (const auto& dot : data.dots)
    dots += std::to_string(dot.disease) + std::to_string(dot.lnc) + std::to_string(dot.a) + " ";
  EXPECT_EQ(dots, "102 015 124 211 023 ");

  EXPECT_EQ(TopDiseases(points, 10).diseases.size(), 4u);
  EXPECT_TRUE(TopDiseases({}, 25).dots.empty());
}

// The chart grows with its rows and columns and with its longest names,
// and the picture has the measured size at any scale.
TEST(DotPlot, SizeFollowsTheDataAndTheScale) {
  const ChartData small = TopDiseases({{">A", "Asthma", 2, 0.01}});
  const ChartData wider = TopDiseases({{">A", "Asthma", 2, 0.01}, {">B", "Asthma", 3, 0.02}});
  const ChartData longer = TopDiseases({{">A", "Asthma and a much longer disease name", 2, 0.01}});
  const ChartSize size = MeasureChart(small);
  EXPECT_GT(MeasureChart(wider).width, size.width);
  EXPECT_GT(MeasureChart(longer).width, size.width);

  const ChartImage image = RenderChart(small, 2);
  EXPECT_EQ(image.width, static_cast<int>(std::ceil(size.width * 2)));
  EXPECT_EQ(image.height, static_cast<int>(std::ceil(size.height * 2)));
  EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.stride) * image.height);
  // Something is drawn on the white ground.
  const auto white = std::count(image.pixels.begin(), image.pixels.end(), 0xff);
  EXPECT_LT(white, static_cast<long>(image.pixels.size()) * 98 / 100);
  EXPECT_GT(white, static_cast<long>(image.pixels.size()) / 2);
  // The legend's middle size of the largest a there can be (the sanitizer build checks its arithmetic).
  EXPECT_GT(RenderChart(TopDiseases({{">A", "Asthma", std::numeric_limits<int>::max(), 0.01}}), 1).width, 0);
}

// A name wider than the label room is cut after whole characters, with
// "…"; how much longer it is makes no difference.
TEST(DotPlot, LongNamesAreCutToOneWidth) {
  const std::string longName(260, 'N'), longerName(1000, 'N'), accented = std::string(130, 'a') + "\u00e9\u00e9\u00e9";
  EXPECT_EQ(ChartLabel("NR_004855.2"), "NR_004855.2");
  const std::string cut = ChartLabel(longName);
  EXPECT_TRUE(cut.ends_with("\u2026") && cut.size() < 100) << cut;
  EXPECT_EQ(longName.rfind(cut.substr(0, cut.size() - 3), 0), 0u);
  EXPECT_EQ(ChartLabel(longerName), cut);
  for (int extra = 0; extra < 3; ++extra) {  // wherever the width ends, no é is split
    const std::string label = ChartLabel(std::string(static_cast<std::size_t>(extra), 'a') + accented);
    const std::string kept = label.substr(0, label.size() - 3);
    EXPECT_TRUE(kept.back() == 'a' || kept.ends_with("\u00e9")) << extra;
  }
}

// 25 diseases and 200 lncRNAs with 260-character names on both axes: the
// margins stay as for names cut anyway (1000 characters), every lncRNA's
// column keeps its width, and each label leads back to its full name.
TEST(DotPlot, LongAndManyNamesKeepThePlotsProportions) {
  auto chart = [](std::size_t nameLength, int lncs, int diseases = 25) {
    std::vector<ResultPoint> points;
    for (int l = 0; l < lncs; ++l) {
      for (int d = 0; d < diseases; ++d) {
        points.push_back({std::string(">L").append(nameLength, 'L').append(std::to_string(l)),
                          std::string(nameLength, 'D').append(std::to_string(d)), 1 + d % 4, 0.01 / (d + 1)});
      }
    }
    return TopDiseases(points);
  };
  const ChartSize size = MeasureChart(chart(260, 200)), cut = MeasureChart(chart(1000, 200));
  EXPECT_EQ(std::tie(size.width, size.height), std::tie(cut.width, cut.height));
  const double first = MeasureChart(chart(260, 1)).width, hundred = MeasureChart(chart(260, 101)).width;
  EXPECT_EQ(MeasureChart(chart(260, 201)).width - hundred, hundred - first);
  EXPECT_EQ(MeasureChart(chart(260, 2)).height, size.height);
  EXPECT_LT(size.height, 1200);  // 25 rows of dots and the cut names below them

  // A sweep over a small chart finds every label, with its full name, and
  // nothing inside the plot's grid.
  const ChartData small = chart(260, 4, 3);
  const ChartSize smallSize = MeasureChart(small);
  std::set<std::string> found;
  for (double x = 0; x < smallSize.width; x += 4) {
    for (double y = 0; y < smallSize.height; y += 4) {
      if (auto name = LabelAt(small, x, y)) found.insert(*name);
    }
  }
  std::set<std::string> names(small.diseases.begin(), small.diseases.end());
  names.insert(small.lncs.begin(), small.lncs.end());
  EXPECT_EQ(found, names);
  EXPECT_EQ(LabelAt(small, smallSize.width - 200, 60), std::nullopt);  // in the grid's last column
}

TEST(DotPlot, WritesEachFormatOrNothing) {
  test::TempDir dir;
  const ChartData data = TopDiseases({{">A", "Asthma", 2, 0.01}, {">B", "Glioma", 7, 1e-9}});
  for (const auto& [name, magic] :
       std::vector<std::pair<std::string, std::string>>{{"c.svg", "<?xml"}, {"c.png", "\x89PNG"}, {"c.pdf", "%PDF-"}}) {
    WriteChart(data, dir / name);
    EXPECT_EQ(test::ReadBytes(dir / name).substr(0, magic.size()), magic) << name;
  }
  EXPECT_THROW(WriteChart(data, dir / "c.jpg"), RunFailure);
  EXPECT_THROW(WriteChart(data, dir / "no/such/folder/c.svg"), RunFailure);
  EXPECT_FALSE(fs::exists(dir / "c.jpg"));
  WriteChart(TopDiseases({}), dir / "empty.svg");  // an empty result still gives a picture that says so
  EXPECT_NE(test::ReadBytes(dir / "empty.svg").find("<svg"), std::string::npos);
}

}  // namespace
}  // namespace velmora
