// The window's logic without Qt: the layout at every size, the fitted column
// widths, and the column sort against the plain recursion.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "app/logic/column_sort.h"
#include "app/logic/form_layout.h"

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
  EXPECT_EQ(std::tie(overflowing[1], overflowing[2], overflowing[7]), std::make_tuple(1400.0f, 1400.0f, 1000.0f));
}

// Rows 1..n: column 0 the ID, columns 1..9 texts (a in column 3).
ResultStore Store(const std::vector<std::array<std::string, 9>>& rows) {
  ResultStore store;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    store.At(row, 0) = row;
    for (int c = 1; c <= 9; ++c) store.At(row, c) = rows[i][static_cast<std::size_t>(c - 1)];
  }
  return store;
}

std::vector<std::string> Column(const ResultStore& store, int rows, int column) {
  std::vector<std::string> values;
  for (int i = 1; i <= rows; ++i) values.push_back(std::get<std::string>(store.At(i, column)));
  return values;
}

// The sort as a plain recursion, kept as the reference for the order of ties.
void ReferenceSort(ResultStore& a, int p, int r, int m, int n) {
  bool numeric = true;
  auto number = [](const Cell& cell, double& value) {
    if (std::holds_alternative<std::monostate>(cell)) return value = 0, true;
    if (auto* i = std::get_if<std::int32_t>(&cell)) return value = *i, true;
    try {
      std::size_t used = 0;
      const std::string& text = std::get<std::string>(cell);
      value = std::stod(text, &used);
      return used == text.size() && text.find_first_of("xXnNiI") == std::string::npos;
    } catch (...) {
      return false;
    }
  };
  auto text = [](const Cell& cell) {
    if (auto* s = std::get_if<std::string>(&cell)) return *s;
    if (auto* i = std::get_if<std::int32_t>(&cell)) return std::to_string(*i);
    return std::string();
  };
  if (p >= r) return;
restart:
  int j = p;
  for (int i = p; i <= r - 1; ++i) {
    bool less;
    if (numeric) {
      double x = 0, y = 0;
      if (!number(a.At(i, m), x) || !number(a.At(r, m), y)) {
        numeric = false;
        goto restart;
      }
      less = x < y;
    } else {
      less = text(a.At(i, m)) < text(a.At(r, m));
    }
    if (less) swap(a, i, j++, n);
  }
  swap(a, j, r, n);
  ReferenceSort(a, p, j - 1, m, n);
  ReferenceSort(a, j + 1, r, m, n);
}

// Random rows with many ties: numbers of one and two digits, exponent forms,
// now and then a text among the numbers (the call then compares texts), and
// -1 below the empty row 0, which reads as 0 and never moves. Every column
// sorts as the plain recursion sorts it, ties and all, and rows move whole.
TEST(ColumnSort, SameExchangesAsThePlainRecursionOnRandomRows) {
  std::mt19937 random(4);
  for (int round = 0; round < 10; ++round) {
    const int rows = std::uniform_int_distribution(1, 300)(random);
    std::vector<std::array<std::string, 9>> data;
    for (int i = 0; i < rows; ++i) {
      const int a = std::uniform_int_distribution(1, 12)(random);
      const std::string digits = std::to_string(a);
      // Upper and lower case: texts sort by character codes. Appended, not added: GCC 12 warns on the sum.
      std::string lnc = i % 2 ? ">L" : ">l", disease = "D";
      lnc += std::to_string(std::uniform_int_distribution(1, 9)(random));
      disease += std::to_string(i % 7);
      data.push_back({lnc, disease, round % 5 == 0 && i == rows / 2 ? "n/a" : digits, "1", "1", "1",
                      digits + "E-0" + digits, "1", a % 3 ? "-1" : "2.5"});
    }
    for (int column = 0; column <= 9; ++column) {
      ResultStore store = Store(data), reference = Store(data);
      qsort(store, 0, static_cast<std::int16_t>(rows), column, 9);
      ReferenceSort(reference, 0, rows, column, 9);
      for (int c = 1; c <= 9; ++c) ASSERT_EQ(Column(store, rows, c), Column(reference, rows, c)) << column;
      for (int i = 1; i <= rows; ++i) ASSERT_EQ(std::get<std::int32_t>(store.At(i, 0)), i);  // IDs stay in place
    }
  }
}

}  // namespace
}  // namespace velmora
