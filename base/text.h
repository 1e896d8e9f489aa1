#pragma once
// Byte strings in code page 1252 (one character = one byte) and the few
// string operations the interpreter needs. Positions are 1-based where the
// script language counts them so; 0 means "not found".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvic {

inline constexpr char CR = '\r';
inline constexpr char LF = '\n';
inline constexpr std::string_view CRLF = "\r\n";

// Removes blanks (code 32 only; tabs stay) from both ends.
std::string_view trimBlanks(std::string_view s);

// Whether a text holds a control character (a line feed, say): a folder so
// named cannot stand in a registration's line-based files.
bool hasControlCharacters(std::string_view text);

// 1-based position of `needle` in `s` at or after 1-based `start`; 0 if none.
// An empty needle is found at `start` when start <= length.
std::size_t findFrom(std::string_view s, std::string_view needle, std::size_t start = 1);

// 1-based position of the last `needle` in `s` that begins at or before
// 1-based `start` (start 0 means from the end); 0 if none.
std::size_t findBackwards(std::string_view s, std::string_view needle, std::size_t start = 0);

// Splits at every occurrence of `sep`; n separators give n + 1 pieces.
std::vector<std::string_view> split(std::string_view s, char sep);

// Code page 1252 case mapping (ASCII and the accented letters of 1252).
unsigned char lower1252(unsigned char c);
std::string toLower1252(std::string_view s);

// Decimal text of an integer: plain, and with the leading blank that
// non-negative numbers get when the language prints a number.
std::string decimal(long long n);
std::string decimalWithSign(long long n);

// Shortest decimal text of a number: integers without a point, others with
// the point as separator.
std::string numberText(double v);

}  // namespace torvic
