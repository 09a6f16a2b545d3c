#include "app/logic/column_sort.h"

#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

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
      std::string lnc = ">L", disease = "D";  // appended, not added: GCC 12 warns on the sum
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
