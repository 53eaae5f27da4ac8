#pragma once

#include <cstdint>
#include <string>

namespace zr {

// The numeric value of a text: read from the left as a decimal number (sign, digits, point,
// fraction, exponent); blanks, tabs and line feeds anywhere are skipped; reading stops at
// the first other character; a text that does not begin with a number is 0.
double NumericValue(const std::string& text);

// To the nearest whole number, a half going to the even neighbour.
double RoundHalfEven(double value);

// Rounded half to even and limited to the 16-bit range, so that values too large for a
// 16-bit integer come out as its nearest end instead of overflowing.
int16_t RoundToInt16(double value);

// Shortest decimal form, "-" in front of negatives (double precision, 15 digits at most).
std::string DecimalText(double value);

// One sign position ("-" or a blank), then the shortest decimal form: single precision keeps
// at most 7 significant digits, double precision at most 15.
std::string SignedTextSingle(float value);
std::string SignedTextDouble(double value);

}  // namespace zr
