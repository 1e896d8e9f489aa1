// delinepart, delinechar and ref: examples through the engine, and the fast
// forms against plain step-by-step versions on random texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

#include "base/cp1252.h"
#include "base/files.h"
#include "base/text.h"
#include "tests/support/scripted_host.h"
#include "textcmd/ref.h"
#include "tests/support/plain_reference.h"
#include "textcmd/text_algorithms.h"

namespace torvic {
namespace textcmd {
void PrintTo(const RefError& e, std::ostream* os) { *os << "{" << testing::PrintToString(e.missatge.size()) << " " << testing::PrintToString(e.referencia) << " " << e.namesFile << "}"; }
}  // namespace textcmd
namespace {

using test::Message;
using test::Rig;
using Pieces = std::vector<std::pair<std::size_t, std::size_t>>;


struct Case {
    std::string text;
    std::string line;
    std::string expected;
};

void runCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        Rig rig;
        rig.engine.document.textTreball = c.text;
        rig.engine.document.posTreball = 7;
        rig.run({c.line});
        EXPECT_EQ(rig.engine.document.textTreball, c.expected) << c.line << " on [" << c.text << "]";
        EXPECT_EQ(rig.engine.document.posTreball, 1) << c.line;
        EXPECT_TRUE(rig.host.messages.empty()) << c.line;
    }
}

TEST(Delinepart, Examples) {
    runCases({
        {test::join({"a<b>c", "d<e>f"}), "delinepart(\"<\",\">\",0,0,0)", test::join({"ac", "df"})},
        {"a<b>c<d>e", "delinepart(\"<\",\">\",1,0,0)", "a<b>ce"},
        {"a<b>c<d>e", "delinepart(\"<\",\">\")", "ace"},               // several stretches in one line
        {"a<b>c>d", "delinepart(\"<\",\">\",0,1)", "ad"},                // the second end delimiter
        {test::join({"abc", "d"}), "delinepart(\"<\",\">\")", test::join({"abc", "d"})},
        {test::join({"a<b", "c>d<e>f"}), "delinepart(\"<\",\">\")", test::join({"a<b", "c>df"})},  // passed over
        {test::join({"a<b", "cd"}), "delinepart(\"<\",\">\")", test::join({"a<b", "cd"})},         // no end at all
        {test::join({"<1>x<2>", "<3>y"}), "delinepart(\"<\",\">\",0,0,2)", test::join({"x", "<3>y"})},
        {test::join({"a<b", "c<d>"}), "delinepart(\"<\",\">\",0,0,1)", test::join({"a<b", "c<d>"})},  // the passed-over line counted
        {test::join({"a<b", "c<d>"}), "delinepart(\"<\",\">\",0,0,2)", test::join({"a<b", "c"})},
        // A removal that joins CR and LF makes a new line: its "<y>" is the first of its line.
        {"a<p>\r<x>\nb<y>c", "delinepart(\"<\",\">\",1,0)", "a<p>\r\nb<y>c"},
        {test::join({"a#b#c", "#d#"}), "delinepart(\"#\",\"#\")", test::join({"ac", ""})},
        {test::join({"x<a>", "<b>y<c>"}), "delinepart(\"<\",\">\",1,0)", test::join({"x<a>", "<b>y"})},
        {"a<b>c", "delinepart(\"\",\">\")", "a<b>c"},
        {"a<b>c", "delinepart(\"<\",\"\")", "ab>c"},
    });
}

TEST(Delinechar, Examples) {
    runCases({
        {test::join({"abcd", "xy", "q"}), "delinechar(1,1,0)", test::join({"bc", "q"})},
        {test::join({"abc", "", "d", "", ""}), "delinechar(0,0,0)", test::join({"abc", "d", ""})},
        {test::join({"abc", "def", "ghi"}), "delinechar(2,0,2)", test::join({"c", "f", "ghi"})},
        {test::join({"abcdef"}), "delinechar(0,2)", "abcd"},
        {"ab\r\n", "delinechar(1)", "b\r\n"},
    });
}

TEST(LinePartCommands, TextWithoutLineBreaks) {
    Rig part;
    part.engine.document.textTreball = std::string(32001, 'a');
    part.host.answers = {true};
    part.run({"delinepart(\"a\",\"a\")"});
    ASSERT_EQ(part.host.messages.size(), 1u);
    EXPECT_NE(part.host.messages[0].text.find("No s'ha trobat retorn (13+10)"), std::string::npos);

    Rig chr;
    chr.engine.document.textTreball = std::string(32001, 'a');
    chr.host.answers = {true};
    chr.run({"delinechar(1,1)"});
    ASSERT_EQ(chr.host.messages.size(), 1u);
    EXPECT_NE(chr.host.messages[0].text.find(L1252("No s'ha trobat canvi de línia en els primers 32000 caracters")),
              std::string::npos);
    EXPECT_EQ(chr.engine.document.textTreball.size(), 32001u);
}

// Overflow is compared as its own result.
std::string orOverflow(const std::function<std::string()>& f) {
    try {
        return f();
    } catch (const textcmd::CounterOverflow&) {
        return "<overflow>";
    }
}

TEST(Delinepart, LineByLineMatchesTheInPlaceFormOnRandomTexts) {
    std::mt19937 rng(2024);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char alphabet[] = {'a', '<', '>', '#', '\r', '\n', '\r', '\n', 'b'};
    auto randomText = [&](int maxLen) {
        std::string s;
        for (int i = pick(0, maxLen); i > 0; --i) s += alphabet[pick(0, sizeof alphabet - 1)];
        return s;
    };
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string text = randomText(50);
        std::string sd = randomText(2), ed = randomText(2);
        if (sd.empty()) sd = "<";
        Pieces pieces;
        if (textcmd::cutIntoPieces(text, pieces, static_cast<std::size_t>(pick(6, 40))) != textcmd::CutResult::Ok)
            continue;
        int c1 = pick(0, 2), c2 = pick(0, 2);
        std::int16_t counter = textcmd::changeCounter(static_cast<std::int16_t>(pick(-1, 4)));
        if (sd.find_first_of("\r\n") != std::string::npos) continue;  // there the in-place form is the one used
        std::string expected = orOverflow(
            [&] { return textcmd::removeLinePartsInPlace(text, pieces, sd, ed, c1, c2, counter); });
        std::string got = orOverflow([&] { return textcmd::removeLineParts(text, pieces, sd, ed, c1, c2, counter); });
        ASSERT_EQ(got, expected) << "case " << i << " [" << text << "] [" << sd << "] [" << ed << "] " << c1 << " "
                                 << c2 << " " << counter;
        ++checked;
    }
    EXPECT_GT(checked, 4000);
}

// ---- ref -------------------------------------------------------------------

class RefTest : public ::testing::Test {
protected:
    // Runs def and ref on a working text; returns the file written.
    std::string ref(const std::string& text, const std::string& def, const std::string& selection) {
        rig = std::make_unique<Rig>();
        rig->engine.document.textTreball = text;
        std::string out = (dir / "out.txt").string();
        std::filesystem::remove(out);
        rig->run({"def(" + def + ")", "ref(\"" + out + "\",\"" + selection + "\")"});
        return readFileBytes(out).value_or("<no file>");
    }
    std::vector<std::string> reportedReferences() const {
        std::vector<std::string> refs;
        const std::string label = L1252("La referència que no es pot trobar és: ");
        for (const Message& m : rig->host.messages) {
            std::size_t p = m.text.find(label);
            if (p == std::string::npos) continue;
            p += label.size();
            refs.push_back(m.text.substr(p, m.text.find("\r\n", p) - p));
        }
        return refs;
    }

    test::TempDir tmp;
    std::filesystem::path dir{tmp.path()};
    std::unique_ptr<Rig> rig;
};

TEST_F(RefTest, EdgeCases) {
    struct C {
        std::string text, def, selection, file;
        std::vector<std::string> reported;
    } cases[] = {
        {"ART1 first\r\nx\r\n", "ART", "1", "", {"ART1"}},                 // the first line is never found
        {"t\r\nART1 last", "ART", "1", "", {}},                             // last line without CR LF
        {"t\r\n123 a\r\n12 b\r\n", "", "12", "123 a\r\n", {}},                  // prefix match, first wins
        {"t\r\n10 a\r\n11 b\r\n", "", "10;,11", "10 a\r\n\r\n11 b\r\n\r\n", {}},  // the flag stays on
        {"t\r\n10 a\r\n11 b\r\n12 c\r\n", "", "10_12<11>", "10 a\r\n12 c\r\n", {}},
        {"t\r\n10\r\n11\r\n12\r\n13\r\n", "", "10_13<11_12>", "10\r\n13\r\n", {}},
        {"t\r\n10\r\n", "", "", "", {}},
        {"t\r\nART1 x\r\n", "art", "1", "", {"art1"}},                      // case-sensitive
        {"t\r\n1 x\r\n", "", "1,,", "1 x\r\n", {}},                             // empty items skipped
        {"t\r\n10\r\n11\r\n", "", "10_99", "", {"99"}},                      // missing range end
        {"\r\n10 first\r\n11\r\n", "", "10_99", "10 first\r\n", {"99"}},         // ...unless it starts the text
        {"t\r\n10\r\n11\r\n", "", "98_99", "", {"99", "98"}},
        {"t\r\n11\r\n10\r\n", "", "10_11", "", {}},                          // end before start
        {"t\r\n10\r\n", "", "10<77>", "10\r\n", {"77"}},
        {"t\r\n10\r\n11\r\n", "", "10,11<10_77>", "10\r\n11\r\n", {"77"}},
        {"t\r\n10\r\n11\r\n", "", "10<11>2>", "10\r\n", {"", "2", "11"}},         // two ">" in a part
        {"t\r\n1\r\n2\r\n3\r\n", "", "1_2_3", "1\r\n2\r\n", {""}},              // two "_" in an item
        {"t\r\n1 a\r\n", "", " 1", "", {" 1"}},                              // blanks are kept
    };
    for (const C& c : cases) {
        EXPECT_EQ(ref(c.text, c.def, c.selection), c.file) << c.selection << " on [" << c.text << "]";
        EXPECT_EQ(reportedReferences(), c.reported) << c.selection;
    }
}

TEST_F(RefTest, ReportsCarryTheirMessagesAndTheFileName) {
    ref("t\r\n10\r\n", "", "5,10_6<7>");
    ASSERT_EQ(rig->host.messages.size(), 3u);
    EXPECT_NE(rig->host.messages[0].text.find(L1252("ERROR IMPORTANT:\r\n No pot trobar referència que s'ha d'AFEGIR")),
              std::string::npos);
    EXPECT_NE(rig->host.messages[1].text.find(
                  L1252("ERROR IMPORTANT:\r\n No pot trobar REFERÈNCIA FINAL D'UN INTERVAL que s'ha d'AFEGIR.")),
              std::string::npos);
    EXPECT_NE(rig->host.messages[2].text.find(L1252("No pot trobar ref d'extracció")), std::string::npos);
    for (const Message& m : rig->host.messages) {
        EXPECT_EQ(m.title, "TORVIC - Error de sintaxis:");
        EXPECT_EQ(m.seconds, 15);
        EXPECT_NE(m.text.find("Fitxer: " + (dir / "out.txt").string()), std::string::npos);
    }
}

TEST_F(RefTest, AMalformedSelectionIsReportedWithEmptyTexts) {
    // Two ">" in a part, then two "_" in an item: message, reference and
    // file name all empty; only the line number and the default remain.
    ref("t\r\n1\r\n2\r\n3\r\n", "", "1_2_3,1<2>3>");
    ASSERT_EQ(rig->host.messages.size(), 2u);
    const std::string empty = L1252("\r\nError de sintaxis en la linia: 1\r\n\r\nLa referència que no es pot trobar és: "
                                    "\r\nDefecte:   Fitxer: ");
    for (const Message& m : rig->host.messages) EXPECT_EQ(m.text, empty);
}

TEST_F(RefTest, FileNameIsTrimmedAndWriteFailuresArePrompted) {
    Rig r;
    r.engine.document.textTreball = "t\r\n1 a\r\n";
    std::string out = (dir / "x.txt").string();
    r.host.answers = {true};
    r.run({"ref(\"  " + out + "  \",\"1\")", "ref(\"" + (dir / "no/dir.txt").string() + "\",\"1\")", "beep"});
    EXPECT_EQ(readFileBytes(out).value_or(""), "1 a\r\n");
    ASSERT_EQ(r.host.messages.size(), 1u);
    EXPECT_EQ(r.host.messages[0].kind, Message::Question);
    EXPECT_EQ(r.platform.calls.size(), 1u);
}

TEST(RefExtraction, MatchesTheStepByStepFormOnRandomCatalogues) {
    // Catalogues with repeated and prefix keys, lone CR and LF, selections
    // with ranges, ";", exclusions and the malformed forms: enough items for
    // the index and the unit table to be used, and now and then a key that
    // holds a line break (the plain path).
    std::mt19937 rng(2024);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto key = [&] { return std::to_string(pick(0, 15)) + (pick(0, 6) ? "" : pick(0, 1) ? "\r" : "\n"); };
    for (int round = 0; round < 1500; ++round) {
        std::string text = pick(0, 3) ? "head\r\n" : "";
        for (int n = pick(0, 30); n > 0; --n) text += key() + (pick(0, 1) ? " e" : "") + (pick(0, 8) ? "\r\n" : "\n");
        std::string selection;
        for (int n = pick(0, 14); n > 0; --n) {
            const int form = pick(0, 9);
            std::string item = key();
            if (form < 3) item += "_" + key();
            if (form == 3) item += "_" + key() + "_" + key();
            if (form == 4) item += ";";
            selection += (form >= 5 && form <= 7) ? "<" + item + ">" : item;
            if (form == 8) selection += ">";
            selection += pick(0, 4) ? "," : "";
        }
        const std::string prefix = pick(0, 5) ? "" : "1";
        std::vector<textcmd::RefError> got, expected;
        std::string result = textcmd::extractReferences(text, prefix, selection, got);
        ASSERT_EQ(result, plain::extractReferences(text, prefix, selection, expected))
            << "selection [" << selection << "] on [" << text << "]";
        ASSERT_EQ(got, expected) << "selection [" << selection << "]";
    }
}

TEST(RefLookup, TheIndexFindsWhatAPlainSearchFinds) {
    std::mt19937 rng(31337);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto key = [&] { return std::to_string(pick(0, 40)) + (pick(0, 5) ? "" : "x"); };
    for (int round = 0; round < 300; ++round) {
        std::string text = pick(0, 1) ? "" : "head\r\n";
        for (int n = pick(0, 60); n > 0; --n) text += key() + (pick(0, 1) ? " entry" : "") + (pick(0, 10) ? "\r\n" : "\n");
        const textcmd::LineStartIndex index(text, 3);
        for (int n = 0; n < 30; ++n) {
            std::string k = key().substr(0, static_cast<std::size_t>(pick(0, 4)));
            ASSERT_EQ(index.find(k), findFrom(text, "\r\n" + k, 1)) << k << " in [" << text << "]";
        }
    }
}

}  // namespace
}  // namespace torvic
