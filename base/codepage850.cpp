#include "base/codepage850.h"

#include <iconv.h>

#include <array>
#include <stdexcept>
#include <vector>

namespace torvic::codepage850 {
namespace {

struct Tables {
    std::array<unsigned char, 256> oemToAnsi{};
    std::array<unsigned char, 256> ansiToOem{};
};

// The 1252 byte of the character that 850 byte `b` stands for, or -1.
int convertByte(iconv_t cd, unsigned char b) {
    char in = static_cast<char>(b);
    char out[8];
    char* ip = &in;
    char* op = out;
    std::size_t il = 1, ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || op - out != 1) return -1;
    return static_cast<unsigned char>(out[0]);
}

Tables build() {
    Tables t;
    iconv_t cd = iconv_open("CP1252", "CP850");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP850/CP1252");
    std::array<bool, 256> ansiUsed{};
    std::array<bool, 256> oemMatched{};
    for (int b = 0; b < 256; ++b) {
        int a = convertByte(cd, static_cast<unsigned char>(b));
        if (a >= 0 && !ansiUsed[a]) {
            t.oemToAnsi[b] = static_cast<unsigned char>(a);
            t.ansiToOem[a] = static_cast<unsigned char>(b);
            oemMatched[b] = true;
            ansiUsed[a] = true;
        }
    }
    iconv_close(cd);
    std::vector<int> oemLeft, ansiLeft;
    for (int b = 0; b < 256; ++b) {
        if (!oemMatched[b]) oemLeft.push_back(b);
        if (!ansiUsed[b]) ansiLeft.push_back(b);
    }
    for (std::size_t i = 0; i < oemLeft.size() && i < ansiLeft.size(); ++i) {
        t.oemToAnsi[oemLeft[i]] = static_cast<unsigned char>(ansiLeft[i]);
        t.ansiToOem[ansiLeft[i]] = static_cast<unsigned char>(oemLeft[i]);
    }
    return t;
}

const Tables& tables() {
    static const Tables t = build();
    return t;
}

}  // namespace

void oemToAnsi(std::string& text) {
    const auto& map = tables().oemToAnsi;
    for (char& c : text) c = static_cast<char>(map[static_cast<unsigned char>(c)]);
}

void ansiToOem(std::string& text) {
    const auto& map = tables().ansiToOem;
    for (char& c : text) c = static_cast<char>(map[static_cast<unsigned char>(c)]);
}

}  // namespace torvic::codepage850
