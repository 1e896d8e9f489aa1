// delinepart, delinechar and ref: examples through the engine, and the fast
// forms against plain step-by-step versions on random texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/cp1252.h"
#include "base/files.h"
#include "base/text.h"
#include "tests/support/scripted_host.h"
#include "textcmd/ref.h"
#include "textcmd/text_algorithms.h"

namespace torvic {
namespace {

using test::Message;
using test::Rig;
using Pieces = std::vector<std::pair<std::size_t, std::size_t>>;

using test::lines;

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
        {lines({"a<b>c", "d<e>f"}), "delinepart(\"<\",\">\",0,0,0)", lines({"ac", "df"})},
        {"a<b>c<d>e", "delinepart(\"<\",\">\",1,0,0)", "a<b>ce"},
        {"a<b>c<d>e", "delinepart(\"<\",\">\")", "ace"},               // several stretches in one line
        {"a<b>c>d", "delinepart(\"<\",\">\",0,1)", "ad"},                // the second end delimiter
        {lines({"abc", "d"}), "delinepart(\"<\",\">\")", lines({"abc", "d"})},
        {lines({"a<b", "c>d<e>f"}), "delinepart(\"<\",\">\")", lines({"a<b", "c>df"})},  // passed over
        {lines({"a<b", "cd"}), "delinepart(\"<\",\">\")", lines({"a<b", "cd"})},         // no end at all
        {lines({"<1>x<2>", "<3>y"}), "delinepart(\"<\",\">\",0,0,2)", lines({"x", "<3>y"})},
        {lines({"a<b", "c<d>"}), "delinepart(\"<\",\">\",0,0,1)", lines({"a<b", "c<d>"})},  // the passed-over line counted
        {lines({"a<b", "c<d>"}), "delinepart(\"<\",\">\",0,0,2)", lines({"a<b", "c"})},
        // A removal that joins CR and LF makes a new line: its "<y>" is the first of its line.
        {"a<p>\r<x>\nb<y>c", "delinepart(\"<\",\">\",1,0)", "a<p>\r\nb<y>c"},
        {lines({"a#b#c", "#d#"}), "delinepart(\"#\",\"#\")", lines({"ac", ""})},
        {lines({"x<a>", "<b>y<c>"}), "delinepart(\"<\",\">\",1,0)", lines({"x<a>", "<b>y"})},
        {"a<b>c", "delinepart(\"\",\">\")", "a<b>c"},
        {"a<b>c", "delinepart(\"<\",\"\")", "ab>c"},
    });
}

TEST(Delinechar, Examples) {
    runCases({
        {lines({"abcd", "xy", "q"}), "delinechar(1,1,0)", lines({"bc", "q"})},
        {lines({"abc", "", "d", "", ""}), "delinechar(0,0,0)", lines({"abc", "d", ""})},
        {lines({"abc", "def", "ghi"}), "delinechar(2,0,2)", lines({"c", "f", "ghi"})},
        {lines({"abcdef"}), "delinechar(0,2)", "abcd"},
        {"ab\r\n", "delinechar(1)", "b\r\n"},
    });
}

TEST(LinePartCommands, NegativeCountsAreRefused) {
    for (const char* line : {"delinepart(\"<\",\">\",-1,0,0)", "delinepart(\"<\",\">\",0,-0.2)",
                             "delinechar(-1,0,0)", "delinechar(0,-1)"}) {
        Rig rig;
        rig.engine.document.textTreball = "a<b>c";
        rig.host.answers = {true};
        rig.run({"'0", line, "beep"});
        ASSERT_EQ(rig.host.messages.size(), 1u) << line;
        EXPECT_EQ(rig.host.messages[0].text,
                  L1252("Error de Sintaxi a la línia: 1\r\rAquests parametres han de ser positius.\r"
                        "Continuar amb l'execució a la següent linia?"))
            << line;
        EXPECT_EQ(rig.engine.document.textTreball, "a<b>c") << line;
        EXPECT_EQ(rig.platform.calls.size(), 1u) << line;  // Yes: the next line ran
    }
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

TEST(LinePartCommands, CounterOverflowLeavesTheTextUnchanged) {
    std::string many;
    for (int i = 0; i < 40000; ++i) many += "a<b>\r\n";
    for (const char* line : {"delinepart(\"<\",\">\")", "delinechar(1)"}) {
        Rig rig;
        rig.engine.document.textTreball = many;
        rig.host.answers = {true};
        rig.run({line});
        EXPECT_EQ(rig.engine.document.textTreball, many) << line;
        EXPECT_EQ(rig.host.messages.size(), 1u) << line;
    }
}

// delinepart step by step on a piece string, erasing in place.
std::string plainLineParts(const std::string& text, const Pieces& ranges, const std::string& sd, const std::string& ed,
                           int c1, int c2, std::int16_t counter, bool& overflow) {
    std::string out;
    int c = counter;
    overflow = false;
    for (auto [b, e] : ranges) {
        std::string piece = "\r\n" + text.substr(b, e - b);
        auto lineStartOf = [&](std::size_t x) {  // a line begins with the CR LF before it
            std::size_t r = x >= 1 ? piece.rfind(CRLF, x) : (piece.compare(0, 2, CRLF) == 0 ? 0 : std::string::npos);
            return r == std::string::npos ? 0 : r;
        };
        auto lineEndOf = [&](std::size_t ls) {
            std::size_t r = piece.find(CRLF, ls + 2);
            return r == std::string::npos ? piece.size() : r;
        };
        auto nth = [&](const std::string& d, std::size_t from, int skip) {
            std::size_t p = piece.find(d, from);
            for (int i = 0; i < skip && p != std::string::npos; ++i) p = piece.find(d, p + 1);
            return p;
        };
        std::size_t found = piece.find(sd);
        while (found != std::string::npos && c != 0) {
            if (c == -32768) {
                overflow = true;
                return text;
            }
            --c;
            std::size_t ls = lineStartOf(found);
            std::size_t le = lineEndOf(ls);
            std::size_t start = nth(sd, ls, c1);
            if (start == std::string::npos || start + 1 == piece.size()) break;
            if (start >= le) {
                found = start;
                continue;
            }
            std::size_t stop = nth(ed, start + sd.size(), c2);
            if (stop == std::string::npos) break;
            if (stop + ed.size() > le) {
                found = piece.find(sd, le);
                continue;
            }
            piece.erase(start, stop + ed.size() - start);
            found = piece.find(sd, start);
        }
        out += piece.substr(std::min<std::size_t>(2, piece.size()));
    }
    return out;
}

TEST(Delinepart, MatchesTheStepByStepFormOnRandomTexts) {
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
        bool overflow;
        std::string expected = plainLineParts(text, pieces, sd, ed, c1, c2, counter, overflow);
        std::string got;
        bool gotOverflow = false;
        try {
            got = textcmd::removeLineParts(text, pieces, sd, ed, c1, c2, counter);
        } catch (const textcmd::CounterOverflow&) {
            gotOverflow = true;
        }
        ASSERT_EQ(gotOverflow, overflow) << i;
        if (!overflow) {
            ASSERT_EQ(got, expected) << "case " << i << " [" << text << "] [" << sd << "] [" << ed << "] " << c1 << " "
                                     << c2 << " " << counter;
        }
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

TEST_F(RefTest, CatalogueExample) {
    std::string catalogue = "Cataleg\r\nART10 x\r\nART20 a\r\nART21 b\r\nART22 c\r\nART23 d\r\n";
    EXPECT_EQ(ref(catalogue, "ART", "10,20_23<22>"), "ART10 x\r\nART20 a\r\nART21 b\r\nART23 d\r\n");
    EXPECT_TRUE(rig->host.messages.empty());
}

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

// ref with plain searches for CR LF + key, as a reference.
std::string plainRef(const std::string& text, const std::string& pre, const std::string& selection,
                     std::vector<textcmd::RefError>& errors) {
    std::string sel, exc;
    for (std::string_view part : split(selection, '<')) {
        if (part.find('>') == std::string_view::npos) {
            sel += std::string(part) + ",";
            continue;
        }
        auto sides = split(part, '>');
        exc += std::string(sides[0]) + ",";
        sel += std::string(sides[1]) + ",";
        if (sides.size() > 2) errors.push_back({"", ""});
    }
    auto at = [](const std::string& t, const std::string& key) { return findFrom(t, "\r\n" + key, 1); };
    std::string out;
    bool flag = false;
    for (std::string_view it : split(sel, ',')) {
        std::string item(it);
        if (item.empty()) continue;
        if (item.back() == ';') {
            item = item.substr(0, item.find(';'));
            flag = true;
        }
        std::size_t s, e;
        std::string key;
        if (item.find('_') != std::string::npos) {
            auto ends = split(item, '_');
            if (ends.size() > 2) errors.push_back({"", ""});
            key = pre + std::string(ends[0]);
            std::string endKey = pre + std::string(ends[1]);
            s = at(text, key);
            std::size_t f = at(text, endKey);
            if (f == 0) errors.push_back({"end", endKey});
            e = findFrom(text, "\r\n", f == 0 ? 2 : f + 2);
        } else {
            key = pre + item;
            s = at(text, key);
            e = findFrom(text, "\r\n", s + 2);
        }
        if (s > 0 && s < e) {
            out += text.substr(s - 1, e - s);
            if (flag) out += "\r\n";
        } else if (s == 0) {
            errors.push_back({"missing", key});
        }
    }
    out += "\r\n";
    for (std::string_view it : split(exc, ',')) {
        std::string item(it);
        if (item.empty()) continue;
        std::size_t s, e;
        std::string key;
        if (item.find('_') != std::string::npos) {
            auto ends = split(item, '_');
            if (ends.size() > 2) errors.push_back({"", ""});
            key = pre + std::string(ends[0]);
            s = at(out, key);
            std::size_t f = at(out, pre + std::string(ends[1]));
            if (f == 0) errors.push_back({"excl", pre + std::string(ends[1])});
            e = f == 0 ? 0 : findFrom(out, "\r\n", f + 2);
        } else {
            key = pre + item;
            s = at(out, key);
            e = findFrom(out, "\r\n", s + 2);
        }
        if (s > 0 && s < e)
            out.erase(s - 1, e - s);
        else if (s == 0)
            errors.push_back({"excl", key});
    }
    return out.substr(2);
}

TEST(RefLookup, FastLookupWritesWhatAPlainScanWrites) {
    std::mt19937 rng(31337);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto key = [&] {
        std::string k = std::to_string(pick(0, 40));
        if (pick(0, 5) == 0) k += "x";
        return k;
    };
    for (int round = 0; round < 400; ++round) {
        std::string pre = pick(0, 1) ? "R" : "";
        std::string text = pick(0, 1) ? "" : "head\r\n";
        for (int n = pick(0, 60); n > 0; --n) {
            text += (pick(0, 6) ? pre : "") + key() + (pick(0, 1) ? " entry" : "");
            text += pick(0, 10) ? "\r\n" : "\n";
        }
        std::string selection;
        for (int n = pick(1, 30); n > 0; --n) {  // more than the plain-search threshold
            int form = pick(0, 9);
            std::string item = form < 5 ? key() : key() + "_" + key();
            if (form == 9) item += ";";
            if (form == 8) item = "<" + key() + (pick(0, 1) ? "_" + key() : "") + ">" + item;
            selection += (selection.empty() ? "" : ",") + item;
        }
        std::vector<textcmd::RefError> fastErrors, plainErrors;
        std::string fast = textcmd::extractReferences(text, pre, selection, fastErrors);
        std::string plain = plainRef(text, pre, selection, plainErrors);
        ASSERT_EQ(fast, plain) << "selection " << selection;
        ASSERT_EQ(fastErrors.size(), plainErrors.size()) << selection;
        for (std::size_t i = 0; i < fastErrors.size(); ++i)
            ASSERT_EQ(fastErrors[i].referencia, plainErrors[i].referencia) << selection;
    }
}

}  // namespace
}  // namespace torvic
