#include "platform/codepage850.h"

#include <array>
#include <stdexcept>
#include <vector>

namespace torvic::codepage850 {
namespace {

struct Tables {
    std::array<unsigned char, 256> oemToAnsi{};
    std::array<unsigned char, 256> ansiToOem{};
};

Tables build() {
    Tables t;
    std::array<bool, 256> ansiUsed{};
    std::array<bool, 256> oemMatched{};
    for (int b = 0; b < 256; ++b) {
        int a = systemOemByteToAnsi(static_cast<unsigned char>(b));
        if (a >= 0 && !ansiUsed[a]) {
            t.oemToAnsi[b] = static_cast<unsigned char>(a);
            t.ansiToOem[a] = static_cast<unsigned char>(b);
            oemMatched[b] = true;
            ansiUsed[a] = true;
        }
    }
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
