#include "app/logic/form_layout.h"

#include <gtest/gtest.h>

#include <cstring>

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

}  // namespace
}  // namespace velmora
