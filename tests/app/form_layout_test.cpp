#include "app/logic/form_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace velmora {
namespace {

TEST(FormResize, InitialClientArea) {
  FormLayout l = DesignLayout();
  Form_Resize(l, kInitialClientWidth, kInitialClientHeight);
  EXPECT_EQ(l.frame5.width, 7895);
  EXPECT_EQ(l.text2.top, 6605);
  EXPECT_EQ(l.frame3.height, 6405);
  EXPECT_EQ(l.frame5.height, 6405);
  EXPECT_EQ(l.text1.height, 4030);
  EXPECT_EQ(l.option1.top, 4370);
  EXPECT_EQ(l.option2.top, 4745);
  EXPECT_EQ(l.option3.top, 5120);
  EXPECT_EQ(l.option4.top, 5495);
  EXPECT_EQ(l.command2.top, 5905);
  EXPECT_EQ(l.command3.top, 5905);
  EXPECT_EQ(l.command1.top, 5905);
  EXPECT_EQ(l.label1.top, 7940);
  EXPECT_EQ(l.command4.top, 7940);
  EXPECT_EQ(l.listView1.width, 7495);
  EXPECT_EQ(l.listView1.height, 5530);  // the last step replaces Frame5's height - 1000
  EXPECT_EQ(l.command4.left, 10675);
  EXPECT_EQ(l.command1.left, 6240);
  EXPECT_EQ(l.text2.width, 12335);
  // Sizes the pass does not touch keep their design values.
  EXPECT_EQ(l.frame3.width, 4335);
  EXPECT_EQ(l.text1.width, 4095);
  EXPECT_EQ(l.label1.width, 8775);
}

TEST(FormResize, NegativeSizesAreSkippedPositionsApplied) {
  FormLayout l = DesignLayout();
  Form_Resize(l, kInitialClientWidth, kInitialClientHeight);
  const FormLayout before = l;
  Form_Resize(l, 1000, 1500);  // tiny: frames and lists would get negative sizes
  EXPECT_EQ(l.frame5.width, before.frame5.width);
  EXPECT_EQ(l.listView1.width, before.listView1.width);
  EXPECT_EQ(l.text2.width, 660);  // 1000 - 240 - 100 is still positive
  EXPECT_EQ(l.frame3.height, before.frame3.height);
  EXPECT_EQ(l.frame5.height, before.frame5.height);
  EXPECT_EQ(l.text1.height, before.text1.height);
  EXPECT_EQ(l.listView1.height, before.listView1.height);
  EXPECT_EQ(l.command4.left, -1000);
  EXPECT_EQ(l.label1.top, 545);
  EXPECT_EQ(l.text2.top, -790);
  EXPECT_EQ(l.command1.left, before.frame5.width - 1455 - 200);
}

TEST(FormResize, MinimisedAndRestoredGivesTheSameLayout) {
  FormLayout l = DesignLayout();
  Form_Resize(l, kInitialClientWidth, kInitialClientHeight);
  const FormLayout restored = l;
  Form_Resize(l, 0, 0);
  Form_Resize(l, kInitialClientWidth, kInitialClientHeight);
  EXPECT_EQ(std::memcmp(&l, &restored, sizeof l), 0);
}

TEST(ColumnWidths, RunningAndInitialDivisors) {
  const auto running = ColumnWidths(7495);
  EXPECT_FLOAT_EQ(running[0], 7495.0f / 15);
  EXPECT_FLOAT_EQ(running[1], 1499);
  EXPECT_FLOAT_EQ(running[2], 7495.0f / 6);
  EXPECT_FLOAT_EQ(running[3], 7495.0f / 30);
  EXPECT_FLOAT_EQ(running[9], 7495.0f / 8);
  const auto initial = InitialColumnWidths(6135);
  EXPECT_FLOAT_EQ(initial[0], 306.75f);
  EXPECT_FLOAT_EQ(initial[1], 6135.0f / 7);
  EXPECT_EQ(ToPixels(7895), 526);
}

bool Overlap(const Bounds& x, const Bounds& y) {
  return x.left < y.left + y.width && y.left < x.left + x.width && x.top < y.top + y.height && y.top < x.top + x.height;
}

// At the minimum client area and above it, no two controls of one container
// overlap, and each stays inside its frame.
TEST(MinimumClientArea, NoControlOverlapsAnother) {
  for (auto [w, h] :
       {std::pair{kMinimumClientWidth, kMinimumClientHeight}, std::pair{kInitialClientWidth, kInitialClientHeight},
        std::pair{kMinimumClientWidth, 20000.0f}, std::pair{30000.0f, kMinimumClientHeight}}) {
    FormLayout l = DesignLayout();
    Form_Resize(l, w, h);
    PlaceAddedControls(l);
    const std::vector<std::vector<Bounds>> containers = {
        {l.frame3, l.frame5, l.text2, l.label1, l.command4},
        {l.text1, l.option1, l.option2, l.option3, l.option4, l.command2, l.command3},
        {l.listView1, l.evidence, l.viewList, l.viewChart, l.saveChart, l.command1}};
    for (std::size_t c = 0; c < containers.size(); ++c) {
      for (std::size_t i = 0; i < containers[c].size(); ++i) {
        for (std::size_t j = i + 1; j < containers[c].size(); ++j) {
          EXPECT_FALSE(Overlap(containers[c][i], containers[c][j]))
              << w << "x" << h << " container " << c << ": " << i << " and " << j;
        }
      }
    }
    for (const Bounds& inside : containers[2]) {
      EXPECT_LE(inside.left + inside.width, l.frame5.width) << w << "x" << h;
      EXPECT_LE(inside.top + inside.height, l.frame5.height) << w << "x" << h;
    }
    EXPECT_GE(l.text1.height, 900) << "the input box keeps a few lines";
  }
  FormLayout tooNarrow = DesignLayout();  // one step narrower and Exit meets the version text
  Form_Resize(tooNarrow, kMinimumClientWidth - 15, kMinimumClientHeight);
  EXPECT_TRUE(Overlap(tooNarrow.command4, tooNarrow.label1));
}

TEST(FittedColumnWidths, NumbersKeepTheirTextNamesGiveWay) {
  std::array<float, 10> minimum{};
  const auto design = ColumnWidths(7495);
  EXPECT_EQ(FittedColumnWidths(7495, minimum, 7495), design);  // nothing to fit: the design's widths

  minimum = {300, 600, 600, 400, 400, 400, 400, 1000, 1000, 1000};
  const float available = 7300;
  const auto fitted = FittedColumnWidths(7495, minimum, available);
  float total = 0;
  for (std::size_t k = 0; k < fitted.size(); ++k) {
    EXPECT_GE(fitted[k], minimum[k]) << k;
    total += fitted[k];
  }
  EXPECT_NEAR(total, available, 0.5f);
  EXPECT_EQ(fitted[7], 1000);
  EXPECT_NEAR((design[1] - fitted[1]) / (design[2] - fitted[2]), 6.0f / 5, 1e-4f);  // the design's ratio

  minimum[1] = minimum[2] = 1400;  // names give way only to their minimum: the columns overflow rather than cut numbers
  const auto overflowing = FittedColumnWidths(7495, minimum, available);
  EXPECT_EQ(overflowing[1], 1400);
  EXPECT_EQ(overflowing[2], 1400);
  EXPECT_EQ(overflowing[7], 1000);
}

}  // namespace
}  // namespace velmora
