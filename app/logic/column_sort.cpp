#include "app/logic/column_sort.h"

#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace velmora {
namespace {

// An empty cell reads as 0, an integer as itself, a text as its value when
// it is a number; any other text is no number.
std::optional<double> ReadNumber(const Cell& cell) {
  if (std::holds_alternative<std::monostate>(cell)) return 0.0;
  if (const auto* number = std::get_if<std::int32_t>(&cell)) return *number;
  const std::string& text = std::get<std::string>(cell);
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const auto last = text.find_last_not_of(' ') + 1;
  const std::string_view number = std::string_view(text).substr(first, last - first);
  if (number.find_first_not_of("0123456789+-.eE") != std::string_view::npos) return std::nullopt;
  const std::size_t sign = number.front() == '+' ? 1 : 0;
  double value = 0;
  const auto [end, error] = std::from_chars(number.data() + sign, number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return value;
}

std::string ReadText(const Cell& cell) {
  if (std::holds_alternative<std::monostate>(cell)) return {};
  if (const auto* number = std::get_if<std::int32_t>(&cell)) return std::to_string(*number);
  return std::get<std::string>(cell);
}

// The sort column of every row read once, both ways; the keys travel with
// their rows, so a comparison costs no parsing.
struct Key {
  std::optional<double> number;
  std::string text;
};

class Sorter {
 public:
  Sorter(ResultStore& a, int p, int r, int m, int n) : a_(a), n_(n), first_(p), keysMove_(m >= 1 && m <= n) {
    for (int row = p; row <= r; ++row) keys_.push_back({ReadNumber(a.At(row, m)), ReadText(a.At(row, m))});
  }

  void Sort(int low, int high) {
    while (low < high) {
      const int j = Partition(low, high);
      if (j - low < high - j) {
        Sort(low, j - 1);
        low = j + 1;
      } else {
        Sort(j + 1, high);
        high = j - 1;
      }
    }
  }

 private:
  const Key& KeyOf(int row) const { return keys_[static_cast<std::size_t>(row - first_)]; }

  void Exchange(int x, int y) {
    if (keysMove_ && x != 0 && y != 0 && x != y) {
      std::swap(keys_[static_cast<std::size_t>(x - first_)], keys_[static_cast<std::size_t>(y - first_)]);
    }
    swap(a_, x, y, n_);
  }

  // One call's partition of rows p to r about row r; every call starts
  // comparing numbers and compares texts, from p again, once a cell of its
  // range is no number.
  int Partition(int p, int r) {
    bool numeric = true;
    for (;;) {
      int j = p;
      bool restart = false;
      for (int i = p; i <= r - 1; ++i) {
        bool less = false;
        if (numeric) {
          const Key& cell = KeyOf(i);
          const Key& pivot = KeyOf(r);
          if (!cell.number || !pivot.number) {
            numeric = false;
            restart = true;
            break;
          }
          less = *cell.number < *pivot.number;
        } else {
          less = KeyOf(i).text < KeyOf(r).text;
        }
        if (less) Exchange(i, j++);
      }
      if (restart) continue;
      Exchange(j, r);
      return j;
    }
  }

  ResultStore& a_;
  int n_, first_;
  bool keysMove_;  // the sort column is among the exchanged ones
  std::vector<Key> keys_;
};

}  // namespace

void swap(ResultStore& arr, int a, int b, int n) {
  if (a == 0 || b == 0 || a == b) return;
  for (int c = 1; c <= n; ++c) std::swap(arr.At(a, c), arr.At(b, c));
}

void qsort(ResultStore& a, std::int16_t p, std::int16_t r, std::int32_t m, std::int32_t n) {
  if (p >= r) return;
  Sorter(a, p, r, m, n).Sort(p, r);
}

}  // namespace velmora
