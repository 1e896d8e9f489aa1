// Scripts encoded with a key: vectors worked by hand from the format's
// steps and round trips.
#include <gtest/gtest.h>

#include <random>

#include "base/cp1252.h"
#include "script/encoding.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using test::bytes;

TEST(Encoding, VectorsWorkedByHand) {
    // Key "ab": sum 195, shift 6. "H" 72 -> 78 -> (78 + 97) mod 223 + 32 = 207;
    // "i" 105 -> 111 -> (111 + 98) mod 223 + 32 = 241; CR LF stay. Key + 10: "kl".
    EXPECT_EQ(codificaText("ab", "Hi\r\n"), "$%& " + bytes({32}) + "kl" + bytes({207, 241, 13, 10}));
    // Key "~" (126): shift 7, length character 31. "z" 122 -> 129 -> (129 + 126)
    // mod 223 + 32 = 64 "@"; the key goes to 136.
    EXPECT_EQ(codificaText("~", "z"), "$%& " + bytes({31, 136}) + "@");
    EXPECT_EQ(descodificaText("~", "$%& " + bytes({31, 136}) + "@"), "z");
    EXPECT_EQ(extreuClau("$%& " + bytes({32}) + "kl" + bytes({207})), "ab");
}

TEST(Encoding, ShiftsOfOneAndTen) {
    EXPECT_EQ(sumaClau("("), 1);   // 40: a multiple of 10
    EXPECT_EQ(sumaClau("1"), 10);  // 49: a sum ending in 9
    EXPECT_EQ(sumaClau("(("), 1);
}

TEST(Encoding, RoundTripsOnRandomTextsAndKeys) {
    std::mt19937 rng(46);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 2000; ++round) {
        std::string key, runKey, text;
        for (int n = pick(1, 225); n > 0; --n) key += static_cast<char>(pick(1, 255));
        for (int n = pick(1, 225); n > 0; --n) runKey += static_cast<char>(pick(1, 244));
        for (int n = pick(0, 300); n > 0; --n) text += static_cast<char>(pick(0, 245));
        const std::string encoded = codificaText(key, text);
        ASSERT_EQ(static_cast<unsigned char>(encoded[4]), key.size() + 30);
        ASSERT_EQ(descodificaText(key, encoded), text) << "round " << round;
        // Line breaks (every code below 32) keep their places.
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (static_cast<unsigned char>(text[i]) < 32) {
                ASSERT_EQ(encoded[5 + key.size() + i], text[i]);
            }
        }
        // A run reads a key of codes below 245 back from the header.
        ASSERT_EQ(extreuClau(codificaText(runKey, text)), runKey);
    }
}

}  // namespace
}  // namespace torvic
