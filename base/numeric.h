#pragma once
// The numeric value of a parameter text, and the conversion of such values
// to integer types (halves rounded to the even neighbour, range checked).
#include <cstdint>
#include <string_view>

namespace torvic {

// Reads a number from the start of `s`: leading blanks, tabs and line feeds
// skipped, those characters ignored inside the number, optional sign, digits,
// "." as the only decimal separator, exponent E or D, "&H" hexadecimal and
// "&O" octal. Stops at the first character that does not fit; 0 when the
// text does not begin with a number. Throws RunTimeError on overflow.
double valorNumeric(std::string_view s);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double v);

// Round, then check the target range; out of range is a RunTimeError.
std::int16_t toInt16(double v);
std::int32_t toInt32(double v);
std::uint8_t toByte(double v);

}  // namespace torvic
