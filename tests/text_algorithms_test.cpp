// The one-pass text algorithms against plain step-by-step versions that
// re-copy the text at every change, on random texts.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>

#include "base/text.h"
#include "textcmd/text_algorithms.h"
#include "tests/support/plain_reference.h"

namespace torvic {
namespace {

using Pieces = PieceTable;

// Short texts of a few letters and many line breaks, where the cases meet.
struct RandomTexts {
    std::mt19937 rng;
    std::string alphabet = "abAx\r\n\r\n";
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    std::string text(int maxLen, const char* ifEmpty = "") {
        std::string s;
        for (int n = pick(0, maxLen); n > 0; --n) s += alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
        return s.empty() ? ifEmpty : s;
    }
};

// Overflow is compared as its own result.
std::string orOverflow(const std::function<std::string()>& f) {
    try {
        return f();
    } catch (const CounterOverflow&) {
        return "<overflow>";
    }
}

TEST(TextAlgorithms, GeneralReplaceAndDeleteMatchTheStepByStepForms) {
    RandomTexts r{std::mt19937(12345)};
    for (int i = 0; i < 6000; ++i) {
        const std::string text = r.text(40), find = r.text(3, "a");
        // Replacements longer than the text they replace, holding line breaks,
        // make the built part shrink and grow again.
        std::string repl = r.text(8);
        std::int32_t cursor = r.pick(1, static_cast<int>(text.size()) + 2);
        std::int16_t counter = changeCounter(static_cast<std::int16_t>(r.pick(-3, 3)));
        // Without a limit a growing replacement may be found again 32767
        // times; the plain form would then copy a growing text each time.
        if (counter < 0 && repl.size() > find.size()) repl.resize(find.size());
        bool ic = r.pick(0, 1), wl = r.pick(0, 1);
        plain::Outcome got{text, false};
        try {
            replaceGeneral(got.text, cursor, find, repl, counter, ic, wl);
        } catch (const CounterOverflow&) {
            got.overflow = true;
        }
        ASSERT_EQ(got, plain::replaceGeneral(text, cursor, find, repl, counter, ic, wl)) << "case " << i;
        got = {text, false};
        deleteText(got.text, cursor, find, counter, ic);
        ASSERT_EQ(got, plain::replaceGeneral(text, cursor, find, "", counter, ic, false)) << "delete, case " << i;
    }
}

TEST(TextAlgorithms, DelineMatchesTheStepByStepFormAcrossPieces) {
    RandomTexts r{std::mt19937(4242)};
    int multiPiece = 0;
    for (int i = 0; i < 6000; ++i) {
        const std::string text = r.text(60), find = r.text(2, "x");
        std::size_t limit = static_cast<std::size_t>(r.pick(4, 30));
        Pieces pieces;
        if (cutIntoPieces(text, pieces, limit) != CutResult::Ok) continue;
        multiPiece += pieces.size() > 1;
        std::int16_t counter = changeCounter(static_cast<std::int16_t>(r.pick(-1, 3)));
        bool ic = r.pick(0, 1);
        // A stretch that deletes nothing is found again until the counter runs out.
        const plain::Deline expected = plain::deleteLines(text, pieces, find, counter, ic);
        const std::string got = orOverflow([&] {
            const DelineResult result = deleteLinesHolding(text, pieces, find, counter, ic);
            return result.text + "|" + std::to_string(result.cursor);
        });
        ASSERT_EQ(got, expected.overflow ? "<overflow>" : expected.text + "|" + std::to_string(expected.cursor))
            << "case " << i << " text [" << text << "] find [" << find << "] counter " << counter << " limit " << limit;
    }
    EXPECT_GT(multiPiece, 500);  // the generator really exercised several pieces
}

TEST(TextAlgorithms, FastReplaceMatchesAPlainLoop) {
    RandomTexts r{std::mt19937(99)};
    for (int i = 0; i < 4000; ++i) {
        const std::string text = r.text(40), find = r.text(3, "a"), repl = r.text(3);
        std::int32_t cursor = r.pick(-1, static_cast<int>(text.size()) + 2);
        int limit = r.pick(-1, 3);
        if (limit == 0) limit = -1;
        // Plain loop: left to right, never searching inside a replacement.
        std::string expected = text;
        std::size_t from = cursor <= 1 ? 0 : static_cast<std::size_t>(cursor) - 1;
        int done = 0;
        while (from <= expected.size() && (limit < 0 || done < limit)) {
            std::size_t q = expected.find(find, from);
            if (q == std::string::npos) break;
            expected.replace(q, find.size(), repl);
            from = q + repl.size();
            ++done;
        }
        std::string got = text;
        replaceFast(got, cursor, find, repl, limit);
        ASSERT_EQ(got, expected) << "case " << i;
    }
}

TEST(TextAlgorithms, DelinepartLineByLineMatchesTheInPlaceForm) {
    RandomTexts r{std::mt19937(2024), "a<>#\r\n\r\nb"};
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string text = r.text(50), sd = r.text(2, "<"), ed = r.text(2);
        Pieces pieces;
        if (cutIntoPieces(text, pieces, static_cast<std::size_t>(r.pick(6, 40))) != CutResult::Ok) continue;
        int c1 = r.pick(0, 2), c2 = r.pick(0, 2);
        std::int16_t counter = changeCounter(static_cast<std::int16_t>(r.pick(-1, 4)));
        if (sd.find_first_of("\r\n") != std::string::npos) continue;  // there the in-place form is the one used
        std::string expected = orOverflow(
            [&] { return removeLinePartsInPlace(text, pieces, sd, ed, c1, c2, counter); });
        std::string got = orOverflow([&] { return removeLineParts(text, pieces, sd, ed, c1, c2, counter); });
        ASSERT_EQ(got, expected) << "case " << i << " [" << text << "] [" << sd << "] [" << ed << "] " << c1 << " "
                                 << c2 << " " << counter;
        ++checked;
    }
    EXPECT_GT(checked, 4000);
}

TEST(TextAlgorithms, CuttingIntoPieces) {
    Pieces pieces;
    EXPECT_EQ(cutIntoPieces(std::string(32000, 'a'), pieces), CutResult::Ok);
    EXPECT_EQ(cutIntoPieces(std::string(32001, 'a'), pieces), CutResult::NoLineBreak);
    // A line break whose LF is the 32001st character still closes the first piece.
    ASSERT_EQ(cutIntoPieces(std::string(31999, 'a') + "\r\n" + std::string(10, 'b'), pieces), CutResult::Ok);
    EXPECT_EQ(pieces, (Pieces{{0, 32001}, {32001, 32011}}));
    EXPECT_EQ(cutIntoPieces(std::string(32000, 'a') + "\r\n" + std::string(10, 'b'), pieces), CutResult::NoLineBreak);
    // The last piece may be exactly as long as the limit, without a break.
    ASSERT_EQ(cutIntoPieces(std::string(10, 'a') + "\r\n" + std::string(32000, 'b'), pieces), CutResult::Ok);
    EXPECT_EQ(pieces, (Pieces{{0, 12}, {12, 32012}}));
    std::string huge;
    for (int i = 0; i < 1001; ++i) huge += std::string(31998, 'c') + "\r\n";
    EXPECT_EQ(cutIntoPieces(huge, pieces), CutResult::TooManyPieces);
}

}  // namespace
}  // namespace torvic
