#pragma once
// Conversion between code page 1252 bytes (the program's text) and UTF-8
// (terminals, source literals, the Qt boundary).
#include <string>
#include <string_view>

namespace torvic::cp1252 {

// Unicode code point of a 1252 byte; the five unassigned bytes map to
// themselves (C1 controls), so every byte survives a round trip.
char32_t toUnicode(unsigned char c);

// 1252 byte of a code point, or -1 when code page 1252 has no such character.
int fromUnicode(char32_t u);

std::string toUtf8(std::string_view bytes1252);
// The same, appended to `out`.
void appendUtf8(std::string& out, std::string_view bytes1252);

// Characters without a 1252 byte become '?'; malformed UTF-8 bytes are taken
// as 1252 bytes as they stand (utf8To1252 of text_encoding.h).
std::string fromUtf8(std::string_view utf8);

}  // namespace torvic::cp1252

namespace torvic {
// Program texts are written in the sources as UTF-8 and used as 1252 bytes.
inline std::string L1252(std::string_view utf8) { return cp1252::fromUtf8(utf8); }
}  // namespace torvic
