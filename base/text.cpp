#include "base/text.h"

#include <charconv>
#include <cmath>

namespace torvic {

std::string_view trimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

std::size_t findFrom(std::string_view s, std::string_view needle, std::size_t start) {
    if (start == 0) start = 1;
    if (start > s.size() + 1) return 0;
    std::size_t p = s.find(needle, start - 1);
    return p == std::string_view::npos ? 0 : p + 1;
}

std::size_t findBackwards(std::string_view s, std::string_view needle, std::size_t start) {
    std::size_t from = start == 0 ? std::string_view::npos : start - 1;
    std::size_t p = s.rfind(needle, from);
    return p == std::string_view::npos ? 0 : p + 1;
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> out;
    std::size_t b = 0;
    for (;;) {
        std::size_t p = s.find(sep, b);
        if (p == std::string_view::npos) {
            out.push_back(s.substr(b));
            return out;
        }
        out.push_back(s.substr(b, p - b));
        b = p + 1;
    }
}

unsigned char lower1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    switch (c) {
        case 0x8A: return 0x9A;  // Š
        case 0x8C: return 0x9C;  // Œ
        case 0x8E: return 0x9E;  // Ž
        case 0x9F: return 0xFF;  // Ÿ
        default: return c;
    }
}

std::string toLower1252(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(lower1252(static_cast<unsigned char>(ch)));
    return out;
}

std::string decimal(long long n) { return std::to_string(n); }

std::string decimalWithSign(long long n) { return n >= 0 ? " " + std::to_string(n) : std::to_string(n); }

std::string numberText(double v) {
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15)
        return std::to_string(static_cast<long long>(v));
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool hasControlCharacters(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

}  // namespace torvic
