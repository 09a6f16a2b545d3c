#include "app/logic/form_layout.h"

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

int ToPixels(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

}  // namespace velmora
