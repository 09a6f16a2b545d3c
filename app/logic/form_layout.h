#pragma once

// The window's controls in twips (15 to a pixel), as designed and as the
// layout pass places them for a client area.

#include <array>

namespace velmora {

struct Bounds {
  float left, top, width, height;
};

struct FormLayout {
  Bounds frame3, text1, command2, command4, frame5, command3, text2, label1, listView1, command1;
  Bounds option1, option2, option3, option4;
};

inline constexpr float kTwipsPerPixel = 15;
inline constexpr float kInitialClientWidth = 12675;
inline constexpr float kInitialClientHeight = 8895;

// The positions and sizes the controls are designed with.
FormLayout DesignLayout();

// The layout pass for a client area of w x h twips, step by step in single
// precision: later steps read what earlier ones set. A width or height that
// comes out negative is not applied (the control keeps its value); positions
// always are.
void Form_Resize(FormLayout& layout, float w, float h);

// Column widths of the results list from the list's width: at creation, and
// on every later layout pass.
std::array<float, 10> InitialColumnWidths(float listWidth);
std::array<float, 10> ColumnWidths(float listWidth);

int ToPixels(float twips);

}  // namespace velmora
