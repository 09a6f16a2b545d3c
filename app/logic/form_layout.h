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
  // Controls the design does not have, in the "Results" frame: the line
  // under the list that explains the selected row, the List and Chart view
  // buttons and Save Chart beside them.
  Bounds evidence, viewList, viewChart, saveChart;
};

inline constexpr float kTwipsPerPixel = 15;
inline constexpr float kInitialClientWidth = 12675;
inline constexpr float kInitialClientHeight = 8895;
// The smallest client area at which no control overlaps another: Exit stays
// right of the version text and the input box keeps a few lines.
inline constexpr float kMinimumClientWidth = 11025;
inline constexpr float kMinimumClientHeight = 5865;

// The positions and sizes the controls are designed with.
FormLayout DesignLayout();

// The layout pass for a client area of w x h twips, step by step in single
// precision: later steps read what earlier ones set. A width or height that
// comes out negative is not applied (the control keeps its value); positions
// always are.
void Form_Resize(FormLayout& layout, float w, float h);

// Places the added controls from what the layout pass set: the evidence
// line takes the bottom three lines of the list's height, the view buttons and
// Save Chart sit left on the row of Save All.
void PlaceAddedControls(FormLayout& layout);

// Column widths of the results list from the list's width: at creation, and
// on every later layout pass.
std::array<float, 10> InitialColumnWidths(float listWidth);
std::array<float, 10> ColumnWidths(float listWidth);

// ColumnWidths with every column at least as wide as `minimum` (its widest
// text); what the columns then take beyond `available` comes off LncName and
// Disease in their design ratio, down to their own minimum.
std::array<float, 10> FittedColumnWidths(float listWidth, const std::array<float, 10>& minimum, float available);

int ToPixels(float twips);

}  // namespace velmora
