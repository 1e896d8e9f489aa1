#include "script/encoding.h"

namespace torvic {
namespace {

constexpr int kLengthBias = 30;
constexpr int kKeyShift = 10;

int code(char c) { return static_cast<unsigned char>(c); }
char byte(int c) { return static_cast<char>(static_cast<unsigned char>(c)); }

}  // namespace

int sumaClau(std::string_view clau) {
    long sum = 0;
    for (char c : clau) sum += code(c);
    return static_cast<int>(sum % 10) + 1;
}

std::string codificaText(std::string_view clau, std::string_view text) {
    const int s = sumaClau(clau);
    const std::size_t length = clau.size();
    std::string out;
    out.reserve(kEncodedMarker.size() + 1 + length + text.size());
    out.append(kEncodedMarker);
    out += byte(static_cast<int>(length) + kLengthBias);
    // The key: codes 31 to 244 up by 10, each once.
    for (char c : clau) out += code(c) >= 31 && code(c) <= 244 ? byte(code(c) + kKeyShift) : c;
    // The text: codes 32 to 245 up by s, each once; then every code from 32
    // on mixed with the key character of its position (positions below 32
    // use up theirs too).
    for (std::size_t p = 0; p < text.size(); ++p) {
        int c = code(text[p]);
        if (c >= 32 && c <= 245) c += s;
        if (c >= 32) c = (c + code(clau[p % length])) % 223 + 32;
        out += byte(c);
    }
    return out;
}

std::string extreuClau(std::string_view text) {
    if (!text.starts_with(kEncodedMarker) || text.size() < kEncodedMarker.size() + 1) return "";
    const int n = code(text[kEncodedMarker.size()]) - kLengthBias;
    if (n <= 0) return "";
    std::string clau(text.substr(kEncodedMarker.size() + 1, static_cast<std::size_t>(n)));
    for (char& c : clau)
        if (code(c) >= 41 && code(c) <= 254) c = byte(code(c) - kKeyShift);
    return clau;
}

std::string descodificaText(std::string_view clau, std::string_view text) {
    const std::size_t length = clau.size();
    if (length == 0) return "";
    const int s = sumaClau(clau);
    const std::size_t header = kEncodedMarker.size() + 1 + length;
    std::string out;
    if (text.size() <= header) return out;
    text.remove_prefix(header);
    out.reserve(text.size());
    for (std::size_t p = 0; p < text.size(); ++p) {
        int c = code(text[p]);
        if (c >= 32) {
            // The value from 33 to 255 that equals x modulo 223.
            int x = c - 32 - code(clau[p % length]);
            if (x < 33) x += 223;
            if (x < 33) x += 223;
            c = x;
            if (c >= 32 + s && c <= 245 + s) c -= s;
        }
        out += byte(c);
    }
    return out;
}

}  // namespace torvic
