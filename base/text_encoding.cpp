#include "base/text_encoding.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "base/cp1252.h"

namespace torvic {

std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = at(i);
    if (c < 0x80) return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0) lo = 0xA0;          // overlong
        if (c == 0xED) hi = 0x9F;          // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0) lo = 0x90;          // overlong
        if (c == 0xF4) hi = 0x8F;          // past U+10FFFF
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    if (at(i + 1) < lo || at(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < len; ++k)
        if ((at(i + k) & 0xC0) != 0x80) return 0;
    return len;
}

char32_t utf8CodePoint(std::string_view s, std::size_t i, std::size_t len) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    char32_t u = len == 1 ? lead : len == 2 ? (lead & 0x1F) : len == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (std::size_t k = 1; k < len; ++k) u = (u << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return u;
}

namespace {

// Walks the text; false at the first malformed byte. `multiByte` tells
// whether a sequence of two bytes or more was seen. Runs of ASCII go eight
// bytes at a time, straight to the first byte that is not ASCII.
bool scanUtf8(std::string_view s, bool& multiByte) {
    multiByte = false;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* const end = p + s.size();
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            const std::uint64_t high = word & kHighBits;
            if (high == 0) {
                p += 8;
                continue;
            }
            if constexpr (std::endian::native == std::endian::little) p += std::countr_zero(high) / 8;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const std::size_t at = static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(s.data()));
        const std::size_t len = utf8SequenceLength(s, at);
        if (len == 0) return false;
        multiByte = true;
        p += len;
    }
    return true;
}

}  // namespace

bool isValidUtf8(std::string_view s) {
    bool multiByte = false;
    return scanUtf8(s, multiByte);
}

TextEncoding detectEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return TextEncoding::Utf8Bom;
    bool multiByte = false;
    return scanUtf8(bytes, multiByte) && multiByte ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::string_view withoutBom(std::string_view bytes) {
    return bytes.starts_with(kUtf8Bom) ? bytes.substr(kUtf8Bom.size()) : bytes;
}

std::size_t utf8Length(std::string_view s) {
    std::size_t n = 0;
    for (char c : s) n += startsUtf8Character(c);
    return n;
}

std::size_t utf8Advance(std::string_view s, std::size_t from, std::size_t chars) {
    std::size_t i = from;
    while (i < s.size()) {
        if (startsUtf8Character(s[i])) {
            if (chars == 0) return i;
            --chars;
        }
        ++i;
    }
    return s.size();
}

std::string utf8To1252(std::string_view s, std::string* outside) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        std::size_t len = utf8SequenceLength(s, i);
        if (len == 0) {  // a stray byte stands for itself
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const int b = cp1252::fromUnicode(utf8CodePoint(s, i, len));
        if (b >= 0) {
            out += static_cast<char>(b);
        } else {
            out += '?';
            if (outside) {
                const std::string_view ch = s.substr(i, len);
                if (outside->find(ch) == std::string::npos) outside->append(ch);
            }
        }
        i += len;
    }
    return out;
}

}  // namespace torvic

namespace torvic {
namespace {

// Folds the character at s[i] into out[0..n); returns its length. Only
// ASCII capitals and the two-byte capitals of 1252 change.
inline std::size_t foldCharacterUtf8(std::string_view s, std::size_t i, unsigned char out[2]) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        out[0] = (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
        return 1;
    }
    out[0] = c;
    if (i + 1 >= s.size() || (c != 0xC3 && c != 0xC5)) return 1;  // continuation bytes follow as they are
    unsigned char d = static_cast<unsigned char>(s[i + 1]);
    if (c == 0xC3) {
        if (d >= 0x80 && d <= 0x9E && d != 0x97) d = static_cast<unsigned char>(d + 0x20);  // À..Þ but ×
    } else {
        switch (d) {
            case 0xA0: d = 0xA1; break;  // Š
            case 0x92: d = 0x93; break;  // Œ
            case 0xBD: d = 0xBE; break;  // Ž
            case 0xB8: out[0] = 0xC3; d = 0xBF; break;  // Ÿ to ÿ
            default: break;
        }
    }
    out[1] = d;
    return 2;
}

}  // namespace

std::string toLowerUtf8(std::string_view s) {
    std::string out(s);
    unsigned char f[2];
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = foldCharacterUtf8(s, i, f);
        for (std::size_t k = 0; k < n; ++k) out[i + k] = static_cast<char>(f[k]);
        i += n;
    }
    return out;
}

bool foldsToUtf8(std::string_view text, std::string_view folded) {
    if (text.size() < folded.size()) return false;
    unsigned char f[2];
    for (std::size_t i = 0; i < folded.size();) {
        const std::size_t n = foldCharacterUtf8(text.substr(0, folded.size()), i, f);
        for (std::size_t k = 0; k < n; ++k)
            if (static_cast<char>(f[k]) != folded[i + k]) return false;
        i += n;
    }
    return true;
}

}  // namespace torvic

namespace torvic {

std::optional<LineBreak> lineBreakOf(std::string_view text) {
    bool lineFeed = false;
    for (std::size_t p = text.find('\n'); p != std::string_view::npos; p = text.find('\n', p + 1)) {
        if (p > 0 && text[p - 1] == '\r') return LineBreak::CrLf;
        lineFeed = true;
    }
    if (lineFeed) return LineBreak::Lf;
    return std::nullopt;
}

std::string lineFeedsToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    std::size_t from = 0;
    for (std::size_t p = text.find('\n'); p != std::string_view::npos; p = text.find('\n', from)) {
        out.append(text.substr(from, p - from)).append("\r\n");
        from = p + 1;
    }
    out.append(text.substr(from));
    return out;
}

std::string crLfToLineFeeds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t p = text.find("\r\n"); p != std::string_view::npos; p = text.find("\r\n", from)) {
        out.append(text.substr(from, p - from)).push_back('\n');
        from = p + 2;
    }
    out.append(text.substr(from));
    return out;
}

namespace {

void appendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

void appendUnit(std::string& out, char32_t unit, bool bigEndian) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
}

}  // namespace

std::optional<std::string> utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (char32_t{a} << 8) | b : (char32_t{b} << 8) | a;
    };
    std::string out;
    out.reserve(bytes.size() / 2 * 3 / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t u = unitAt(i);
        if (u >= 0xDC00 && u <= 0xDFFF) return std::nullopt;  // a low surrogate first
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 2 >= bytes.size()) return std::nullopt;
            const char32_t low = unitAt(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        appendUtf8(out, u);
    }
    return out;
}

std::string utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = utf8SequenceLength(text, i);
        char32_t u = 0;
        if (len == 0) {
            u = cp1252::toUnicode(static_cast<unsigned char>(text[i]));
            ++i;
        } else {
            u = utf8CodePoint(text, i, len);
            i += len;
        }
        if (u >= 0x10000) {
            appendUnit(out, 0xD800 + ((u - 0x10000) >> 10), bigEndian);
            appendUnit(out, 0xDC00 + ((u - 0x10000) & 0x3FF), bigEndian);
        } else {
            appendUnit(out, u, bigEndian);
        }
    }
    return out;
}

}  // namespace torvic
