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

std::array<std::string, 9> Row(const std::string& lnc, const std::string& disease, const std::string& a,
                               const std::string& p = "0.01", const std::string& oddsRatio = "3") {
  return {lnc, disease, a, "1", "1", "1", p, "1", oddsRatio};
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

TEST(ColumnSort, NumbersCompareAsNumbers) {
  ResultStore store = Store({Row("L1", "D", "10"), Row("L2", "D", "2"), Row("L3", "D", "7")});
  qsort(store, 0, 3, 3, 9);
  EXPECT_EQ(Column(store, 3, 3), (std::vector<std::string>{"2", "7", "10"}));
  EXPECT_EQ(Column(store, 3, 1), (std::vector<std::string>{"L2", "L3", "L1"}));
  // Column 0 never moves: row i still carries ID i.
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(std::get<std::int32_t>(store.At(i, 0)), i);
}

TEST(ColumnSort, TextsCompareByCharacterCode) {
  ResultStore store = Store({Row(">b", "D", "1"), Row(">B", "D", "1"), Row(">a", "D", "1"), Row(">A", "D", "1")});
  qsort(store, 0, 4, 1, 9);
  EXPECT_EQ(Column(store, 4, 1), (std::vector<std::string>{">A", ">B", ">a", ">b"}));
}

TEST(ColumnSort, ExponentFormIsANumber) {
  ResultStore store =
      Store({Row("L1", "D", "1", "0.01"), Row("L2", "D", "1", "7.76679E-05"), Row("L3", "D", "1", "0.0003")});
  qsort(store, 0, 3, 7, 9);
  EXPECT_EQ(Column(store, 3, 7), (std::vector<std::string>{"7.76679E-05", "0.0003", "0.01"}));
}

TEST(ColumnSort, ModeSwitchesToTextOnTheFirstNonNumber) {
  // "10" < "9" as texts: once "x" is met the whole call compares texts.
  ResultStore store = Store({Row("L1", "D", "10"), Row("L2", "D", "x"), Row("L3", "D", "9")});
  qsort(store, 0, 3, 3, 9);
  EXPECT_EQ(Column(store, 3, 3), (std::vector<std::string>{"10", "9", "x"}));
  ResultStore reference = Store({Row("L1", "D", "10"), Row("L2", "D", "x"), Row("L3", "D", "9")});
  ReferenceSort(reference, 0, 3, 3, 9);
  EXPECT_EQ(Column(reference, 3, 3), Column(store, 3, 3));
}

TEST(ColumnSort, NegativeValuesMeetTheEmptyRowZero) {
  // Row 0 reads as 0, above every -1: the pivot cannot move to row 0, so
  // the rows keep an order the exchanges leave them in.
  ResultStore store =
      Store({Row("L1", "D", "1", "0.01", "3"), Row("L2", "D", "1", "0.01", "-1"), Row("L3", "D", "1", "0.01", "-1")});
  ResultStore reference = store;
  qsort(store, 0, 3, 9, 9);
  ReferenceSort(reference, 0, 3, 9, 9);
  EXPECT_EQ(Column(store, 3, 1), Column(reference, 3, 1));
}

TEST(ColumnSort, SameOrderOfTiesAsThePlainRecursionOnRandomRows) {
  std::mt19937 random(4);
  for (int round = 0; round < 10; ++round) {
    const int rows = std::uniform_int_distribution(1, 300)(random);
    std::vector<std::array<std::string, 9>> data;
    for (int i = 0; i < rows; ++i) {
      const int a = std::uniform_int_distribution(1, 6)(random);
      const std::string digit = std::to_string(a);
      std::string lnc = ">L", disease = "D";
      lnc += std::to_string(std::uniform_int_distribution(1, 9)(random));
      disease += std::to_string(i % 7);
      data.push_back(Row(lnc, disease, round % 5 == 0 && i == rows / 2 ? "n/a" : digit, digit + "E-0" + digit,
                         a % 3 ? "-1" : "2.5"));
    }
    for (int column = 0; column <= 9; ++column) {
      ResultStore store = Store(data), reference = Store(data);
      qsort(store, 0, static_cast<std::int16_t>(rows), column, 9);
      ReferenceSort(reference, 0, rows, column, 9);
      for (int c = 1; c <= 9; ++c) ASSERT_EQ(Column(store, rows, c), Column(reference, rows, c)) << column;
    }
  }
}

TEST(ColumnSort, TenThousandRowsInOrderDoNotExhaustTheStack) {
  std::vector<std::array<std::string, 9>> data;
  for (int i = 1; i <= ResultStore::kLastRow; ++i) data.push_back(Row(">L", "D", std::to_string(i)));
  ResultStore store = Store(data);
  qsort(store, 0, ResultStore::kLastRow, 3, 9);
  const auto sorted = Column(store, ResultStore::kLastRow, 3);
  EXPECT_EQ(sorted.front(), "1");
  EXPECT_EQ(sorted.back(), "10000");
  EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(),
                             [](const std::string& x, const std::string& y) { return std::stoi(x) < std::stoi(y); }));
}

}  // namespace
}  // namespace velmora
