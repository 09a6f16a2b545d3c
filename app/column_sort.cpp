#include "app/column_sort.h"

#include <charconv>
#include <optional>
#include <string>

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

// One partition of rows p to r about row r; returns where the pivot went.
int Partition(ResultStore& a, int p, int r, int m, int n) {
  bool numeric = true;
  for (;;) {
    int j = p;
    bool restart = false;
    for (int i = p; i <= r - 1; ++i) {
      bool less = false;
      if (numeric) {
        const auto cell = ReadNumber(a.At(i, m));
        const auto pivot = cell ? ReadNumber(a.At(r, m)) : std::nullopt;
        if (!pivot) {
          numeric = false;  // from here on this call compares texts, from p again
          restart = true;
          break;
        }
        less = *cell < *pivot;
      } else {
        less = ReadText(a.At(i, m)) < ReadText(a.At(r, m));
      }
      if (less) swap(a, i, j++, n);
    }
    if (restart) continue;
    swap(a, j, r, n);
    return j;
  }
}

}  // namespace

void swap(ResultStore& arr, int a, int b, int n) {
  if (a == 0 || b == 0 || a == b) return;
  for (int c = 1; c <= n; ++c) std::swap(arr.At(a, c), arr.At(b, c));
}

void qsort(ResultStore& a, std::int16_t p, std::int16_t r, std::int32_t m, std::int32_t n) {
  int low = p, high = r;
  while (low < high) {
    const int j = Partition(a, low, high, m, n);
    if (j - low < high - j) {
      qsort(a, static_cast<std::int16_t>(low), static_cast<std::int16_t>(j - 1), m, n);
      low = j + 1;
    } else {
      qsort(a, static_cast<std::int16_t>(j + 1), static_cast<std::int16_t>(high), m, n);
      high = j - 1;
    }
  }
}

}  // namespace velmora
