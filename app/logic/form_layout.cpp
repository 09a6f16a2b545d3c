#include "app/logic/form_layout.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

void SetSize(float& size, float value) {
  if (value >= 0) size = value;
}

}  // namespace

FormLayout DesignLayout() {
  FormLayout l;
  l.frame3 = {240, 120, 4335, 8415};
  l.text1 = {120, 240, 4095, 4815};
  l.command2 = {120, 7920, 1215, 375};
  l.command4 = {11520, 10320, 1575, 375};
  l.frame5 = {4680, 120, 8655, 8415};
  l.command3 = {2760, 7920, 1455, 375};
  l.text2 = {240, 8640, 13095, 1335};
  l.label1 = {240, 9960, 8775, 855};
  l.listView1 = {120, 240, 6135, 5895};
  l.command1 = {5880, 7920, 1455, 375};
  l.option1 = {120, 5160, 3615, 375};
  l.option2 = {120, 5520, 3615, 375};
  l.option3 = {120, 5880, 3615, 375};
  l.option4 = {120, 6360, 3615, 375};
  return l;
}

void Form_Resize(FormLayout& l, float w, float h) {
  l.command4.left = w - 2000;
  SetSize(l.frame5.width, w - l.frame5.left - 100);
  SetSize(l.listView1.width, w - l.frame5.left - 500);
  SetSize(l.text2.width, w - l.text2.left - 100);
  l.label1.top = h - l.label1.height - 100;
  l.command4.top = h - l.label1.height - 100;
  l.text2.top = h - l.label1.height - l.text2.height - 100;
  SetSize(l.frame5.height, h - l.label1.height - l.text2.height - 300);
  SetSize(l.listView1.height, l.frame5.height - 1000);
  SetSize(l.frame3.height, h - l.label1.height - l.text2.height - 300);
  l.command2.top = l.frame3.height - 500;
  l.command3.top = l.frame3.height - 500;
  SetSize(l.text1.height, l.frame3.height - l.command3.height - 2000);
  l.command1.top = l.frame5.height - 500;
  l.command1.left = l.frame5.width - l.command1.width - 200;
  l.option1.top = l.text1.top + l.text1.height + 100;
  l.option2.top = l.option1.top + l.option1.height;
  l.option3.top = l.option2.top + l.option1.height;
  l.option4.top = l.option3.top + l.option1.height;
  SetSize(l.listView1.height, l.frame3.height - l.command3.height - 500);
}

void PlaceAddedControls(FormLayout& l) {
  constexpr float kLine = 660;  // three lines of the window's font
  const Bounds& list = l.listView1;
  // From the frame, as the pass's last step does, so that repeated passes do not shrink it further.
  SetSize(l.listView1.height, l.frame3.height - l.command3.height - 500 - kLine);
  l.evidence = {list.left, list.top + list.height + 30, list.width, kLine - 30};
  l.viewList = {120, l.command1.top, 735, l.command1.height};
  l.viewChart = {l.viewList.left + l.viewList.width, l.command1.top, 735, l.command1.height};
  l.saveChart = {l.viewChart.left + l.viewChart.width + 120, l.command1.top, 1455, l.command1.height};
}

std::array<float, 10> InitialColumnWidths(float listWidth) {
  constexpr std::array<float, 10> kDivisors = {20, 7, 7, 30, 30, 30, 30, 8, 8, 8};
  std::array<float, 10> widths{};
  for (std::size_t k = 0; k < widths.size(); ++k) widths[k] = listWidth / kDivisors[k];
  return widths;
}

std::array<float, 10> ColumnWidths(float listWidth) {
  constexpr std::array<float, 10> kDivisors = {15, 5, 6, 30, 30, 30, 30, 8, 8, 8};
  std::array<float, 10> widths{};
  for (std::size_t k = 0; k < widths.size(); ++k) widths[k] = listWidth / kDivisors[k];
  return widths;
}

std::array<float, 10> FittedColumnWidths(float listWidth, const std::array<float, 10>& minimum, float available) {
  std::array<float, 10> widths = ColumnWidths(listWidth);
  float total = 0;
  for (std::size_t k = 0; k < widths.size(); ++k) {
    widths[k] = std::max(widths[k], minimum[k]);
    total += widths[k];
  }
  // LncName and Disease share the excess as 1/5 to 1/6 of the width do.
  const float excess = total - available;
  if (excess > 0) {
    widths[1] = std::max(minimum[1], widths[1] - excess * 6 / 11);
    widths[2] = std::max(minimum[2], widths[2] - excess * 5 / 11);
  }
  return widths;
}

int ToPixels(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

}  // namespace velmora
