#include "base/numeric.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "base/errors.h"

namespace torvic {
namespace {

bool ignorable(char c) { return c == ' ' || c == '\t' || c == '\n'; }

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

double radixValue(std::string_view s, std::size_t i, int radix) {
    double v = 0;
    for (; i < s.size(); ++i) {
        if (ignorable(s[i])) continue;
        int d = digitValue(s[i]);
        if (d >= radix) break;
        v = v * radix + d;
    }
    return v;
}

}  // namespace

double valorNumeric(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && ignorable(s[i])) ++i;
    if (i + 1 < s.size() && s[i] == '&') {
        char r = s[i + 1];
        if (r == 'H' || r == 'h') return radixValue(s, i + 2, 16);
        if (r == 'O' || r == 'o') return radixValue(s, i + 2, 8);
        return 0;
    }

    // Collect the characters that form the number, dropping ignorable ones,
    // into the form std::from_chars reads (locale independent).
    std::string num;
    bool negative = false;
    enum { Sign, Int, Frac, ExpSign, ExpDigits } state = Sign;
    std::size_t mantissaDigits = 0;
    std::size_t validLength = 0;  // length of `num` that forms a complete number
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (ignorable(c)) continue;
        if (state == Sign && (c == '+' || c == '-')) {
            negative = c == '-';
            state = Int;
        } else if ((state == Sign || state == Int || state == Frac) && c >= '0' && c <= '9') {
            if (state == Sign) state = Int;
            num += c;
            ++mantissaDigits;
            validLength = num.size();
        } else if ((state == Sign || state == Int) && c == '.') {
            state = Frac;
            num += c;
        } else if ((state == Int || state == Frac) && mantissaDigits > 0 &&
                   (c == 'E' || c == 'e' || c == 'D' || c == 'd')) {
            state = ExpSign;
            num += 'e';
        } else if (state == ExpSign && (c == '+' || c == '-')) {
            state = ExpDigits;
            num += c;
        } else if ((state == ExpSign || state == ExpDigits) && c >= '0' && c <= '9') {
            state = ExpDigits;
            num += c;
            validLength = num.size();
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return 0;
    num.resize(validLength);
    double v = 0;
    auto res = std::from_chars(num.data(), num.data() + num.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow reads as 0; overflow is an error of the line.
        std::size_t e = num.find('e');
        if (e != std::string::npos && e + 1 < num.size() && num[e + 1] == '-') return 0;
        throw RunTimeError(overflowText());
    }
    if (!std::isfinite(v)) throw RunTimeError(overflowText());
    return negative ? -v : v;
}

double roundHalfEven(double v) {
    double f = std::floor(v);
    double diff = v - f;
    if (diff > 0.5) return f + 1;
    if (diff < 0.5) return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

namespace {
template <typename T>
T checkedRound(double v, double lo, double hi) {
    if (std::isnan(v)) throw RunTimeError(overflowText());
    double r = roundHalfEven(v);
    if (r < lo || r > hi) throw RunTimeError(overflowText());
    return static_cast<T>(r);
}
}  // namespace

std::int16_t toInt16(double v) { return checkedRound<std::int16_t>(v, -32768.0, 32767.0); }
std::int32_t toInt32(double v) { return checkedRound<std::int32_t>(v, -2147483648.0, 2147483647.0); }
std::uint8_t toByte(double v) { return checkedRound<std::uint8_t>(v, 0.0, 255.0); }

}  // namespace torvic
