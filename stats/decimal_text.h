#pragma once

// Arithmetic on decimal texts (digits only, no sign) as the P-value is
// defined: products of operands cut to their 10 leading digits, and a
// quotient from 11 leading digits and the lengths.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Exact product by long multiplication; an empty or all-space operand is "0".
std::string MultiplyDigits(std::string_view x, std::string_view y);

// Exact product of x and y, each cut to its 10 leading digits (later digits
// read as 0).
std::string MultiplyDecimal(std::string_view x, std::string_view y);

// x / y from the 11 leading digits of each, the quotient rounded half away
// from zero to six decimals, scaled by 10^(len(x) - len(y)), in general
// number form.
std::string DivideDecimal(std::string_view x, std::string_view y);

// round(q * 10^6), half away from zero, from the exact binary value of q.
std::int64_t RoundToMicros(double q);

}  // namespace velmora
