// Text document commands run as script lines through the engine.
#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "tests/support/scripted_host.h"
#include "textcmd/document.h"

namespace torvic {
namespace {

using test::Message;
using test::Rig;


struct Case {
    std::string text;
    std::int32_t cursor;
    std::vector<std::string> script;
    std::string expectedText;
    std::int32_t expectedCursor;
};

void runCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        Rig rig;
        rig.engine.document.textTreball = c.text;
        rig.engine.document.posTreball = c.cursor;
        rig.run(c.script);
        std::string where = c.script.back() + " on [" + c.text + "]";
        EXPECT_EQ(rig.engine.document.textTreball, c.expectedText) << where;
        EXPECT_EQ(rig.engine.document.posTreball, c.expectedCursor) << where;
        EXPECT_TRUE(rig.host.messages.empty()) << where;
    }
}

TEST(Search, MovesTheCursorPastTheOccurrence) {
    runCases({
        {"abc", 1, {"search(\"b\",0)"}, "abc", 3},
        {"abc", 1, {"search(\"B\",1)"}, "abc", 3},
        {"abc", 1, {"search(\"B\",0)"}, "abc", 1},   // not found: the cursor stays
        {"abc", 2, {"search(\"\")"}, "abc", 2},       // empty text matches at the cursor
        {"abab", 2, {"search(\"ab\")"}, "abab", 5},
        {"a\r\nb", 1, {"search(\"\\nb\")"}, "a\r\nb", 5},
        {L1252("xÉ"), 1, {L1252("search(\"é\",1)")}, L1252("xÉ"), 3},
    });
}

TEST(Repl, Examples) {
    std::string l123 = test::join({"l1", "l2", "l3"});
    runCases({
        {"aaa", 1, {"repl(\"a\",\"xy\",0,0,0)"}, "xyxyxy", 1},
        {"aaa", 1, {"repl(\"a\",\"xy\",2,0,0)"}, "xyxya", 1},
        {"aaa", 9, {"repl(\"a\",\"xy\")"}, "aaa", 9},
        {"aXa", 1, {"repl(\"A\",\"b\",0,1,0)"}, "bXb", 1},
        {"aa", 1, {"repl(\"a\",\"aa\")"}, "aaaa", 1},
        {l123, 1, {"repl(\"2\",\"new\",0,0,1)"}, test::join({"l1", "new", "l3"}), 1},
        {l123, 1, {"repl(\"2\",\"\",0,0,1)"}, test::join({"l1", "l3"}), 1},
        {l123, 1, {"repl(\"1\",\"\",0,0,1)"}, test::join({"l2", "l3"}), 1},
        {l123, 1, {"repl(\"3\",\"\",0,0,1)"}, test::join({"l1", "l2"}), 1},
        {l123, 1, {"repl(\"L\",\"z\",2,1,1)"}, test::join({"z", "z", "l3"}), 1},
        {"abc", 1, {"repl(\"\",\"x\",0,1,0)"}, "abc", 1},
        {L1252("ÀBà"), 1, {L1252("repl(\"à\",\"x\",0,1,0)")}, "xBx", 1},
        {"a\tb", 1, {"repl(\"\\t\",\"\\n\")"}, "a\r\nb", 1},
    });
}

TEST(Del, Examples) {
    runCases({
        {"abab", 1, {"del(\"ab\",1,0)"}, "ab", 1},
        {"abab", 1, {"del(\"\",0,0)"}, "abab", 1},
        {"abab", 3, {"del(\"ab\")"}, "ab", 3},
        {"aXbxC", 1, {"del(\"x\",0,1)"}, "abC", 1},
        {"aaa", 1, {"del(\"aa\")"}, "a", 1},
    });
}

TEST(Deline, Examples) {
    runCases({
        {test::join({"a", "x1", "b", "x2"}), 1, {"deline(\"x\",0,0)"}, "a\r\nb\r\n", 1},
        {test::join({"x1", "b", "c"}), 1, {"deline(\"x\",0,0)"}, test::join({"b", "c"}), 1},
        {test::join({"x1", "x2", "b"}), 7, {"deline(\"x\",1,0)"}, test::join({"x2", "b"}), 1},
        {test::join({"a", "x1", "x2", "b"}), 1, {"deline(\"x\",1,0)"}, test::join({"a", "x2", "b"}), 4},
        {test::join({"a", "x1", "b"}), 5, {"deline(\"x\",1,0)"}, test::join({"a", "b"}), 1},  // nothing left to find
        {test::join({"A", "x", "a"}), 1, {"deline(\"a\",0,1)"}, "x\r\n", 1},
        {test::join({"A", "x", "a"}), 1, {"deline(\"a\")"}, test::join({"A", "x", ""}), 1},
        {test::join({"a", "b", "c"}), 4, {"deline(\"\",0,0)"}, test::join({"a", "c"}), 4},
        {test::join({"a", "b", "c"}), 7, {"deline(\"\",0,0)"}, "a\r\nb\r\n", 7},
        {test::join({"a", "b", "c"}), 1, {"deline(\"\")"}, test::join({"b", "c"}), 1},
        {std::string(32000, 'a'), 1, {"deline(\"a\")"}, "", 1},
    });
}

TEST(Deline, LongTextWithoutLineBreakAsksAboutPieces) {
    for (bool yes : {true, false}) {
        Rig rig;
        rig.engine.document.textTreball = std::string(32001, 'a');
        rig.host.answers = {yes};
        rig.run({"'0", "deline(\"a\")", "beep"});
        ASSERT_EQ(rig.host.messages.size(), 1u);
        EXPECT_EQ(rig.host.messages[0].text,
                  L1252("Error de en executar linia 1\rNo s'ha trobat retorn (13+10)\r"
                        "Continuar amb l'execució de la següent linia?"));
        EXPECT_EQ(rig.engine.document.textTreball.size(), 32001u);
        EXPECT_EQ(rig.platform.calls.size(), yes ? 1u : 0u);
        EXPECT_EQ(rig.engine.runEndedByNo(), !yes);  // a No ends the run as a failure
    }
}

TEST(Deline, ManyPiecesKeepEveryOtherLine) {
    std::string text, expected;
    for (int i = 0; i < 20000; ++i) {
        text += (i % 3 ? "keep " : "drop ") + std::to_string(i) + "\r\n";
        if (i % 3) expected += "keep " + std::to_string(i) + "\r\n";
    }
    runCases({{text, 1, {"deline(\"drop\")"}, expected, 1}});
}

TEST(Counters, RunOutAfter32767ChangesFromZero) {
    std::string lines40k, parts40k;
    for (int i = 0; i < 40000; ++i) lines40k += "x\r\n", parts40k += "a<b>\r\n";
    struct C {
        std::string text;
        const char* line;
        std::size_t remaining;  // of the text's first character; the prompt shows when some remain
        bool prompt;
    } cases[] = {
        {std::string(40000, 'a'), "repl(\"a\",\"b\",0,1)", 40000 - 32767, true},  // changes before the error kept
        {std::string(40000, 'a'), "del(\"a\")", 40000 - 32767, true},
        {std::string(40000, 'a'), "repl(\"a\",\"b\")", 0, false},                   // the fast form has no counter
        {std::string(40000, 'a'), "repl(\"a\",\"b\",-2)", 40000, true},             // nor a counter below -1
        {lines40k, "deline(\"x\")", 40000, true},  // the line-wise commands keep nothing
        {parts40k, "delinepart(\"<\",\">\")", 40000, true},
        {parts40k, "delinechar(1)", 40000, true},
    };
    for (const C& c : cases) {
        Rig rig;
        rig.engine.document.textTreball = c.text;
        rig.engine.document.posTreball = 1;
        rig.host.answers = {true};
        rig.run({c.line});
        const std::string& t = rig.engine.document.textTreball;
        EXPECT_EQ(static_cast<std::size_t>(std::count(t.begin(), t.end(), c.text[0])), c.remaining) << c.line;
        EXPECT_EQ(rig.host.messages.size(), c.prompt ? 1u : 0u) << c.line;
    }
}

TEST(Cursor, PosAndLine) {
    std::string abcd = test::join({"ab", "cd"});
    runCases({
        {"abcdefgh", 5, {"pos(-4)"}, "abcdefgh", 1},
        {"abcdefgh", 5, {"pos(-6)"}, "abcdefgh", -1},
        {"abcdefgh", 1, {"pos(2.5)"}, "abcdefgh", 4},
        {"abcdefgh", 3, {"pos(abc)"}, "abcdefgh", 3},
        {"abcdefgh", 3, {"pos(100)"}, "abcdefgh", 103},
        {abcd, 3, {"line(0,0)"}, abcd, 1},
        {abcd, 1, {"line(1,0)"}, abcd, 5},
        {abcd, 1, {"line(1,-3)"}, abcd, 2},
        {abcd, 1, {"line(5,0)"}, abcd, 7},  // past the last line: the end of the text
        {test::join({"a", "b", "c", "d"}), 1, {"line(3,5)"}, test::join({"a", "b", "c", "d"}), 15},
    });
}

TEST(Cursor, PosToExactlyZeroShowsTheMessage) {
    Rig rig;
    rig.engine.document.textTreball = "abcdefgh";
    rig.engine.document.posTreball = 5;
    rig.run({"'0", "pos(-5)"});
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "Error en POS en linia  1");
    EXPECT_EQ(rig.host.messages[0].title, "Error en comanda POS:");
    EXPECT_EQ(rig.engine.document.posTreball, 1);
}

TEST(Write, InsertsAtTheCursor) {
    runCases({
        {"abc", 1, {"write(\"X\")"}, "Xabc", 1},
        {"abc", 1, {"write(\"X\")", "write(\"Y\")"}, "YXabc", 1},
        {"abc", 2, {"write(\"a(b)\")"}, "aabc", 2},
        {"abc", 4, {"write(\"Z\")"}, "abcZ", 4},
        {"abc", 9, {"write(\"Z\")"}, "abcZ", 9},
        {"abc", 1, {"write(\"\\n\")"}, "\\nabc", 1},  // no escapes
        {"abc", 1, {"write(\"x\"+65)"}, "xabc", 1},   // no joining
    });
}

TEST(EmptyText, MostCommandsDoNothing) {
    for (const char* line : {"pos(0)", "line(abc)", "write(\"x\")", "search(\"a\")", "repl(\"\",\"x\",-5)",
                             "del(\"a\",99999)", "deline(\"\")", "deline(\"x\",99999)", "save(\"\")"}) {
        Rig rig;
        rig.engine.document.posTreball = -7;
        rig.run({line});
        EXPECT_TRUE(rig.host.messages.empty()) << line;
        EXPECT_EQ(rig.engine.document.textTreball, "") << line;
        EXPECT_EQ(rig.engine.document.posTreball, -7) << line;
    }
}

TEST(Def, KeepsTheRawText) {
    struct C {
        const char* line;
        const char* prefix;
    } cases[] = {{"def(ART-)", "ART-"}, {"def(\"ART-\")", "\"ART-\""}, {"def()", ""}, {"def(  a, b )", "a, b"}};
    for (const C& c : cases) {
        Rig rig;
        rig.engine.document.referenciaDefecte = "old";
        rig.run({c.line});
        EXPECT_EQ(rig.engine.document.referenciaDefecte, c.prefix) << c.line;
    }
}

TEST(CodePages, OemToAnsiAndBack) {
    Rig rig;
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    rig.engine.document.textTreball = all;
    rig.engine.document.posTreball = 7;
    rig.run({"oemtoansi()"});
    const std::string& ansi = rig.engine.document.textTreball;
    EXPECT_EQ(ansi[0x82], '\xE9');  // é
    EXPECT_EQ(ansi[0x87], '\xE7');  // ç
    EXPECT_EQ(ansi[0x85], '\xE0');  // à
    EXPECT_EQ(ansi['A'], 'A');
    // The box-drawing bytes 0xB0 to 0xB4 have no 1252 counterpart: they take unused bytes in ascending order.
    for (int b = 0xB0; b < 0xB4; ++b)
        EXPECT_LT(static_cast<unsigned char>(ansi[static_cast<std::size_t>(b)]),
                  static_cast<unsigned char>(ansi[static_cast<std::size_t>(b) + 1]));
    EXPECT_EQ(rig.engine.document.posTreball, 7);
    rig.run({"ansitooem()"});
    EXPECT_EQ(rig.engine.document.textTreball, all);
}

TEST(PErrorReport, ExactText) {
    TextDocument doc;
    EXPECT_EQ(PErrorText(doc, 0, "", "", ""),
              L1252("\r\nError de sintaxis en la linia: 0\r\n\r\nLa referència que no es pot trobar és: \r\n"
                    "Defecte:   Fitxer: "));
    doc.referenciaDefecte = "ART-";
    EXPECT_EQ(PErrorText(doc, 12, "No pot trobar ref", "ART10", "out.txt"),
              L1252("\r\nError de sintaxis en la linia: 12\r\nNo pot trobar ref\r\n"
                    "La referència que no es pot trobar és: ART10\r\nDefecte: ART-  Fitxer: out.txt"));

    test::Rig rig;
    PError(rig.host, doc, 3, "m", "r", "f");
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].kind, Message::Timed);
    EXPECT_EQ(rig.host.messages[0].title, "TORVIC - Error de sintaxis:");
    EXPECT_EQ(rig.host.messages[0].seconds, 15);
}

}  // namespace
}  // namespace torvic
