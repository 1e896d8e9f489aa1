#include "base/text_encoding.h"

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
