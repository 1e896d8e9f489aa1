#include "base/text_encoding.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

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
        // Two-byte characters (the accented letters) on the spot.
        if (*p >= 0xC2 && *p <= 0xDF && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
            multiByte = true;
            p += 2;
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

namespace {

// The number of bytes of an 8-byte word that start a character (are not
// continuation bytes, 10xxxxxx).
inline int characterStarts(std::uint64_t word) {
    const std::uint64_t continuation = word & ~(word << 1) & 0x8080808080808080ULL;
    // One bit a byte, summed by a multiplication into the top byte (a
    // popcount without the instruction is a call).
    return 8 - static_cast<int>(((continuation >> 7) * 0x0101010101010101ULL) >> 56);
}

}  // namespace

std::size_t utf8Length(std::string_view s) {
    std::size_t n = 0, i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        n += static_cast<std::size_t>(characterStarts(word));
    }
    for (; i < s.size(); ++i) n += startsUtf8Character(s[i]);
    return n;
}

std::size_t utf8Advance(std::string_view s, std::size_t from, std::size_t chars) {
    std::size_t i = from;
    // Whole words while they hold no more character starts than are left to pass.
    while (i + 8 <= s.size()) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        const auto starts = static_cast<std::size_t>(characterStarts(word));
        if (starts > chars) break;
        chars -= starts;
        i += 8;
    }
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
    // A text with CR LF usually shows it at its first LF; otherwise a CR LF
    // can only follow one of its CRs, which most LF texts have none of.
    const std::size_t lf = text.find('\n');
    if (lf == std::string_view::npos) return std::nullopt;
    if (lf > 0 && text[lf - 1] == '\r') return LineBreak::CrLf;
    for (std::size_t p = text.find('\r', lf); p != std::string_view::npos; p = text.find('\r', p + 1))
        if (p + 1 < text.size() && text[p + 1] == '\n') return LineBreak::CrLf;
    return LineBreak::Lf;
}

// Both conversions move runs between line breaks with memchr and memcpy, so
// a large text costs little more than a copy.
void lineFeedsToCrLf(std::string& text) {
    std::vector<std::size_t> lineFeeds;  // of one block at a time
    std::size_t count = 0;
    for (const char *p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))); ++p)
        ++count;
    if (count == 0) return;
    // Grown where it stands (a file's text is read with room to spare), the
    // text is filled from its end: each run moves right by the CRs before it.
    std::size_t srcEnd = text.size(), to = text.size() + count;
    text.resize(to);
    char* const d = text.data();
    constexpr std::size_t kBlock = 1 << 16;
    while (srcEnd > 0) {
        const std::size_t blockStart = srcEnd > kBlock ? srcEnd - kBlock : 0;
        lineFeeds.clear();
        for (const char *p = d + blockStart, *end = d + srcEnd;
             (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))); ++p)
            lineFeeds.push_back(static_cast<std::size_t>(p - d));
        std::size_t runEnd = srcEnd;
        for (auto lf = lineFeeds.rbegin(); lf != lineFeeds.rend(); ++lf) {
            const std::size_t n = runEnd - (*lf + 1);
            to -= n;
            std::memmove(d + to, d + *lf + 1, n);
            to -= 2;
            d[to] = '\r';
            d[to + 1] = '\n';
            runEnd = *lf;
        }
        to -= runEnd - blockStart;
        std::memmove(d + to, d + blockStart, runEnd - blockStart);
        srcEnd = blockStart;
    }
}

void crLfToLineFeeds(std::string_view text, std::string& out) {
    out.resize(text.size());
    char* to = out.data();
    const char* from = text.data();
    const char* const end = from + text.size();
    for (const char* scan = from;;) {
        const char* cr = static_cast<const char*>(std::memchr(scan, '\r', static_cast<std::size_t>(end - scan)));
        if (!cr) break;
        if (cr + 1 == end || cr[1] != '\n') {  // a CR of its own stays
            scan = cr + 1;
            continue;
        }
        const auto n = static_cast<std::size_t>(cr - from);
        std::memcpy(to, from, n);
        to += n;
        from = scan = cr + 1;  // the LF goes on with the next run
    }
    std::memcpy(to, from, static_cast<std::size_t>(end - from));
    to += end - from;
    out.resize(static_cast<std::size_t>(to - out.data()));
}

std::string crLfToLineFeeds(std::string_view text) {
    std::string out;
    crLfToLineFeeds(text, out);
    return out;
}

namespace {

// Writes the UTF-8 form of `u` at `to`; returns the end.
char* putUtf8(char* to, char32_t u) {
    if (u < 0x80) {
        *to++ = static_cast<char>(u);
    } else if (u < 0x800) {
        *to++ = static_cast<char>(0xC0 | (u >> 6));
        *to++ = static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        *to++ = static_cast<char>(0xE0 | (u >> 12));
        *to++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *to++ = static_cast<char>(0x80 | (u & 0x3F));
    } else {
        *to++ = static_cast<char>(0xF0 | (u >> 18));
        *to++ = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        *to++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *to++ = static_cast<char>(0x80 | (u & 0x3F));
    }
    return to;
}

char* putUnit(char* to, char32_t unit, bool bigEndian) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    *to++ = bigEndian ? hi : lo;
    *to++ = bigEndian ? lo : hi;
    return to;
}

}  // namespace

std::optional<std::string> utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t units = bytes.size() / 2;
    const auto unitAt = [in, bigEndian](std::size_t k) -> char32_t {
        const unsigned char a = in[2 * k], b = in[2 * k + 1];
        return bigEndian ? (char32_t{a} << 8) | b : (char32_t{b} << 8) | a;
    };
    // First the length of the result, checking every surrogate's pair, so
    // that a large text takes no more memory than it needs; then the result.
    std::size_t length = 0;
    for (std::size_t k = 0; k < units; ++k) {
        const char32_t u = unitAt(k);
        if (u < 0x80) {
            length += 1;
        } else if (u < 0x800) {
            length += 2;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return std::nullopt;  // a low surrogate first
        } else if (u >= 0xD800 && u <= 0xDBFF) {
            if (k + 1 >= units) return std::nullopt;
            const char32_t low = unitAt(++k);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            length += 4;
        } else {
            length += 3;
        }
    }
    std::string out;
    out.reserve(length + length / 8);  // room for LF line ends to become CR LF
    out.resize(length);
    char* to = out.data();
    for (std::size_t k = 0; k < units; ++k) {
        char32_t u = unitAt(k);
        if (u >= 0xD800 && u <= 0xDBFF) u = 0x10000 + ((u - 0xD800) << 10) + (unitAt(++k) - 0xDC00);
        to = putUtf8(to, u);
    }
    return out;
}

void utf8ToUtf16(std::string_view text, bool bigEndian, std::string& out) {
    // No character takes more units than it has bytes.
    out.resize(text.size() * 2);
    char* to = out.data();
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            to = putUnit(to, c, bigEndian);
            ++i;
            continue;
        }
        const std::size_t len = utf8SequenceLength(text, i);
        char32_t u = 0;
        if (len == 0) {  // a stray byte
            u = cp1252::toUnicode(c);
            ++i;
        } else {
            u = utf8CodePoint(text, i, len);
            i += len;
        }
        if (u >= 0x10000) {
            to = putUnit(to, 0xD800 + ((u - 0x10000) >> 10), bigEndian);
            to = putUnit(to, 0xDC00 + ((u - 0x10000) & 0x3FF), bigEndian);
        } else {
            to = putUnit(to, u, bigEndian);
        }
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}

std::string utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    utf8ToUtf16(text, bigEndian, out);
    return out;
}

}  // namespace torvic
