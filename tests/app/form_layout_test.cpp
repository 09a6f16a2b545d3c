#include "app/logic/form_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace velmora {
namespace {

bool Overlap(const Bounds& x, const Bounds& y) {
  return x.left < y.left + y.width && y.left < x.left + x.width && x.top < y.top + y.height && y.top < x.top + x.height;
}

// One client area a row, from the minimum up: every control stays inside
// the window or its frame, no two of one container overlap, and the input
// box keeps a few lines.
TEST(FormLayout, ControlsStayApartAtEverySize) {
  for (const auto& [w, h] :
       {std::pair{kMinimumClientWidth, kMinimumClientHeight}, std::pair{kInitialClientWidth, kInitialClientHeight},
        std::pair{kMinimumClientWidth, 20000.0f}, std::pair{30000.0f, kMinimumClientHeight},
        std::pair{30000.0f, 20000.0f}}) {
    FormLayout l = DesignLayout();
    Form_Resize(l, w, h);
    PlaceAddedControls(l);
    const std::vector<std::pair<Bounds, std::vector<Bounds>>> containers = {
        {{0, 0, w, h}, {l.frame3, l.frame5, l.text2, l.label1, l.command4}},
        {l.frame3, {l.text1, l.option1, l.option2, l.option3, l.option4, l.command2, l.command3}},
        {l.frame5, {l.listView1, l.evidence, l.viewList, l.viewChart, l.saveChart, l.command1}}};
    for (const auto& [outer, inner] : containers) {
      for (std::size_t i = 0; i < inner.size(); ++i) {
        const Bounds& b = inner[i];
        EXPECT_TRUE(b.left >= 0 && b.top >= 0 && b.left + b.width <= outer.width && b.top + b.height <= outer.height)
            << w << "x" << h << ", control " << i << " of a container " << outer.width << " wide";
        for (std::size_t j = i + 1; j < inner.size(); ++j) {
          EXPECT_FALSE(Overlap(b, inner[j])) << w << "x" << h << ": " << i << " and " << j;
        }
      }
    }
    EXPECT_GE(l.text1.height, 900) << w << "x" << h;
  }
}

// A size too small for the frames (a minimised window) changes positions
// only, so restoring the window restores its layout.
TEST(FormLayout, MinimisedAndRestoredGivesTheSameLayout) {
  FormLayout l = DesignLayout();
  Form_Resize(l, kInitialClientWidth, kInitialClientHeight);
  const FormLayout restored = l;
  Form_Resize(l, 0, 0);
  Form_Resize(l, kInitialClientWidth, kInitialClientHeight);
  EXPECT_EQ(std::memcmp(&l, &restored, sizeof l), 0);
}

// Every column gets at least its widest text; what that takes beyond the
// room comes off the names, and only down to their own widest text.
TEST(FittedColumnWidths, NumbersKeepTheirTextNamesGiveWay) {
  std::array<float, 10> minimum = {300, 600, 600, 400, 400, 400, 400, 1000, 1000, 1000};
  const auto fitted = FittedColumnWidths(7495, minimum, 7300);
  float total = 0;
  for (std::size_t k = 0; k < fitted.size(); ++k) {
    EXPECT_GE(fitted[k], minimum[k]) << k;
    total += fitted[k];
  }
  EXPECT_NEAR(total, 7300, 0.5f);
  minimum[1] = minimum[2] = 1400;  // no room left: the columns overflow rather than cut a number
  const auto overflowing = FittedColumnWidths(7495, minimum, 7300);
  EXPECT_EQ(overflowing[1], 1400);
  EXPECT_EQ(overflowing[2], 1400);
  EXPECT_EQ(overflowing[7], 1000);
}

}  // namespace
}  // namespace velmora
