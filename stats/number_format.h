#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The general number form of a double: at most 15 significant digits, no
// trailing zeros or point, "." as separator, and exponent form (1.5E-05,
// 1E+15) below 1E-04 and from 1E+15 on.
std::string GeneralNumber(double value);

// Reads a number written in general number form (or any decimal text); text
// that is not wholly a number reads as NaN.
double ParseNumber(std::string_view text);

}  // namespace velmora
