// The one-pass text algorithms against plain step-by-step versions that
// re-copy the text at every change, on random texts.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "base/text.h"
#include "textcmd/text_algorithms.h"

namespace torvic::textcmd {
namespace {

using Pieces = PieceTable;

struct Outcome {
    std::string text;
    bool overflow = false;
    bool operator==(const Outcome&) const = default;
};

std::string fold(std::string s) { return toLower1252(s); }

// repl, general form, one change at a time on the whole text.
Outcome plainReplaceGeneral(std::string text, std::int32_t cursor, const std::string& find, const std::string& repl,
                            std::int16_t counter, bool ic, bool wl) {
    std::string cmp = ic ? fold(text) : text;
    std::string f = ic ? fold(find) : find;
    std::string r2 = ic ? fold(repl) : repl;
    std::size_t p = findFrom(cmp, f, cursor);
    int c = counter;
    while (p > 0 && c != 0) {
        std::size_t s = p, e = p + f.size() - 1;  // 1-based, inclusive
        if (wl) {
            std::size_t a = findBackwards(std::string_view(cmp).substr(0, p), CRLF);
            s = a ? a + 2 : 1;
            std::size_t b = findFrom(cmp, CRLF, p + f.size() - 1);
            e = b ? b - 1 : cmp.size();
            if (repl.empty()) {
                if (s > 1)
                    s -= 2;
                else if (b)
                    e += 2;
            }
        }
        if (c == -32768) return {text, true};
        text = text.substr(0, s - 1) + repl + text.substr(e);
        cmp = cmp.substr(0, s - 1) + r2 + cmp.substr(e);
        --c;
        p = findFrom(cmp, f, s + repl.size());
    }
    return {text, false};
}

Outcome plainDelete(std::string text, std::int32_t cursor, const std::string& find, std::int16_t counter, bool ic) {
    std::string cmp = ic ? fold(text) : text;
    std::string f = ic ? fold(find) : find;
    std::size_t p = findFrom(cmp, f, cursor);
    int c = counter;
    while (p > 0 && c != 0) {
        if (c == -32768) return {text, true};
        text.erase(p - 1, f.size());
        cmp.erase(p - 1, f.size());
        --c;
        p = findFrom(cmp, f, p);
    }
    return {text, false};
}

struct PlainDeline {
    std::string text;
    std::int32_t cursor = 1;
    bool overflow = false;
};

// deline with a text over an explicit table of pieces, each with its added CR LF.
PlainDeline plainDeline(const std::string& text, const Pieces& ranges, const std::string& find, std::int16_t counter,
                        bool ic) {
    std::vector<std::string> pieces, lower;
    for (auto [b, e] : ranges) {
        pieces.push_back("\r\n" + text.substr(b, e - b));
        lower.push_back(ic ? fold(pieces.back()) : pieces.back());
    }
    std::string f = ic ? fold(find) : find;
    int c = counter;
    bool stopped = false;
    std::size_t lastStart = 0;
    std::size_t joinedBefore = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::string& piece = pieces[i];
        std::string& low = lower[i];
        std::size_t p = findFrom(low, f, 1);
        if (c == 0) {
            if (p) stopped = true;
        }
        while (p > 0 && c != 0) {
            if (c == -32768) return {text, 1, true};
            --c;
            std::size_t a = findBackwards(std::string_view(low).substr(0, p + 1), CRLF);
            std::size_t s = a ? a + 2 : 1;
            std::size_t b = findFrom(low, CRLF, p + 1);
            std::size_t e = b ? b + 2 : low.size() + 1;
            piece.erase(s - 1, e - s);
            low.erase(s - 1, e - s);
            lastStart = joinedBefore + s - 2;  // 1-based in the joined text
            p = findFrom(low, f, s - 2);
            if (c == 0 && p) stopped = true;
        }
        joinedBefore += piece.size() - 2;
    }
    PlainDeline r;
    for (const std::string& p : pieces) r.text += p.substr(2);
    r.cursor = stopped ? static_cast<std::int32_t>(lastStart) : 1;
    return r;
}

class RandomTexts {
public:
    explicit RandomTexts(unsigned seed) : rng_(seed) {}
    std::string text(std::size_t maxLen) {
        static const char alphabet[] = {'a', 'b', 'A', 'x', '\r', '\n', '\r', '\n'};
        std::size_t n = pick(0, static_cast<int>(maxLen));
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += alphabet[pick(0, sizeof alphabet - 1)];
        return s;
    }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

private:
    std::mt19937 rng_;
};

TEST(TextAlgorithms, GeneralReplaceMatchesTheStepByStepForm) {
    RandomTexts r(12345);
    for (int i = 0; i < 4000; ++i) {
        std::string text = r.text(40);
        std::string find = r.text(3);
        if (find.empty()) find = "a";
        // Replacements longer than the text they replace, holding line breaks,
        // make the built part shrink and grow again.
        std::string repl = r.text(8);
        std::int32_t cursor = r.pick(1, static_cast<int>(text.size()) + 2);
        std::int16_t counter = changeCounter(static_cast<std::int16_t>(r.pick(-3, 3)));
        bool ic = r.pick(0, 1), wl = r.pick(0, 1);
        Outcome expected = plainReplaceGeneral(text, cursor, find, repl, counter, ic, wl);
        Outcome got{text, false};
        try {
            replaceGeneral(got.text, cursor, find, repl, counter, ic, wl);
        } catch (const CounterOverflow&) {
            got.overflow = true;
        }
        ASSERT_EQ(got, expected) << "case " << i;
    }
}

TEST(TextAlgorithms, WholeLineReplacementHoldingALineBreak) {
    // Worked by hand: the first change takes lines a and b (the line break
    // sits between them); the next search starts on the CR after the
    // replacement, so the second change takes the line YYYY (which starts
    // inside the first replacement) with c, and the third takes d.
    std::string text = "a\r\nb\r\nc\r\nd";
    const std::string expected = "X\r\nX\r\nX\r\nYYYY";
    EXPECT_EQ(plainReplaceGeneral(text, 1, "\r\n", "X\r\nYYYY", 3, false, true).text, expected);
    replaceGeneral(text, 1, "\r\n", "X\r\nYYYY", 3, false, true);
    EXPECT_EQ(text, expected);
}

TEST(TextAlgorithms, DeleteMatchesTheStepByStepForm) {
    RandomTexts r(777);
    for (int i = 0; i < 6000; ++i) {
        std::string text = r.text(40);
        std::string find = r.text(3);
        if (find.empty()) find = "b";
        std::int32_t cursor = r.pick(1, static_cast<int>(text.size()) + 2);
        std::int16_t counter = changeCounter(static_cast<std::int16_t>(r.pick(-2, 3)));
        bool ic = r.pick(0, 1);
        Outcome expected = plainDelete(text, cursor, find, counter, ic);
        Outcome got{text, false};
        deleteText(got.text, cursor, find, counter, ic);
        ASSERT_EQ(got, expected) << "case " << i;
    }
}

TEST(TextAlgorithms, DelineMatchesTheStepByStepFormAcrossPieces) {
    RandomTexts r(4242);
    int multiPiece = 0;
    for (int i = 0; i < 6000; ++i) {
        std::string text = r.text(60);
        std::string find = r.text(2);
        if (find.empty()) find = "x";
        std::size_t limit = static_cast<std::size_t>(r.pick(4, 30));
        Pieces pieces;
        if (cutIntoPieces(text, pieces, limit) != CutResult::Ok) continue;
        multiPiece += pieces.size() > 1;
        std::int16_t counter = changeCounter(static_cast<std::int16_t>(r.pick(-1, 3)));
        bool ic = r.pick(0, 1);
        PlainDeline expected = plainDeline(text, pieces, find, counter, ic);
        DelineResult got;
        bool overflow = false;
        try {
            got = deleteLinesHolding(text, pieces, find, counter, ic);
        } catch (const CounterOverflow&) {
            overflow = true;  // a stretch that deletes nothing is found again until the counter runs out
        }
        ASSERT_EQ(overflow, expected.overflow) << "case " << i;
        if (overflow) continue;
        ASSERT_EQ(got.text, expected.text) << "case " << i;
        ASSERT_EQ(got.cursor, expected.cursor) << "case " << i << " text [" << text << "] find [" << find << "] counter " << counter << " limit " << limit;
    }
    EXPECT_GT(multiPiece, 500);  // the generator really exercised several pieces
}

TEST(TextAlgorithms, FastReplaceMatchesAPlainLoop) {
    RandomTexts r(99);
    for (int i = 0; i < 4000; ++i) {
        std::string text = r.text(40);
        std::string find = r.text(3);
        if (find.empty()) find = "a";
        std::string repl = r.text(3);
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

TEST(TextAlgorithms, CuttingIntoPieces) {
    Pieces pieces;
    EXPECT_EQ(cutIntoPieces(std::string(32000, 'a'), pieces), CutResult::Ok);
    EXPECT_EQ(pieces.size(), 1u);
    EXPECT_EQ(cutIntoPieces(std::string(32001, 'a'), pieces), CutResult::NoLineBreak);

    // A line break whose LF is the 32001st character still closes the first piece.
    std::string t = std::string(31999, 'a') + "\r\n" + std::string(10, 'b');
    ASSERT_EQ(cutIntoPieces(t, pieces), CutResult::Ok);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], (std::pair<std::size_t, std::size_t>{0, 32001}));
    std::string u = std::string(32000, 'a') + "\r\n" + std::string(10, 'b');
    EXPECT_EQ(cutIntoPieces(u, pieces), CutResult::NoLineBreak);

    // Pieces end after a CR LF and cover the text exactly.
    std::string lines;
    for (int i = 0; i < 5000; ++i) lines += "line " + std::to_string(i) + "\r\n";
    ASSERT_EQ(cutIntoPieces(lines, pieces), CutResult::Ok);
    EXPECT_GT(pieces.size(), 1u);
    std::size_t expectStart = 0;
    for (auto [b, e] : pieces) {
        EXPECT_EQ(b, expectStart);
        EXPECT_LE(e - b, 32001u);
        EXPECT_EQ(lines.substr(e - 2, 2), "\r\n");
        expectStart = e;
    }
    EXPECT_EQ(expectStart, lines.size());

    std::string huge;
    for (int i = 0; i < 1001; ++i) huge += std::string(31998, 'c') + "\r\n";
    EXPECT_EQ(cutIntoPieces(huge, pieces), CutResult::TooManyPieces);
}

}  // namespace
}  // namespace torvic::textcmd
