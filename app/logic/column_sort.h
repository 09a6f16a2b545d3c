#pragma once

// The results list's column sort, on the result store: a Lomuto quicksort
// whose pivot is the last row of the range, comparing numbers until a cell
// of the range is not one, then texts.

#include <cstdint>

#include "app/logic/result_store.h"

namespace velmora {

// Exchanges columns 1 to n of rows a and b; row 0 never moves, and neither
// does column 0 (the ID).
void swap(ResultStore& arr, int a, int b, int n);

// Sorts rows p to r by column m, exchanging columns 1 to n. The smaller part
// is sorted by recursion and the larger in the loop, so rows already in
// order cannot exhaust the stack; the exchanges are those of the plain
// recursion.
void qsort(ResultStore& a, std::int16_t p, std::int16_t r, std::int32_t m, std::int32_t n);

}  // namespace velmora
