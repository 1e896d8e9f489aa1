// The text document commands run as script lines through the engine.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/cp1252.h"
#include "platform/files.h"
#include "textcmd/textcmd_texts.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using test::Rig;
using test::join;

TEST(TextCommands, Examples) {
    std::string l123 = join({"l1", "l2", "l3"}), abc = join({"a", "b", "c"}), all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    // The working text and cursor, the script, and the text and cursor after it.
    struct Case { std::string text; std::int32_t cursor; std::vector<std::string> script; std::string expectedText;
                  std::int32_t expectedCursor; } cases[] = {
        {"abc", 1, {"search(\"B\",1)"}, "abc", 3},
        {"abc", 1, {"search(\"B\",0)"}, "abc", 1},  // not found: the cursor stays
        {"abc", 2, {"search(\"\")"}, "abc", 2},      // empty text matches at the cursor
        {"a\r\nb", 1, {"search(\"\\nb\")"}, "a\r\nb", 5},
        {L1252("xÉ"), 1, {L1252("search(\"é\",1)")}, L1252("xÉ"), 3},
        {"aaa", 1, {"repl(\"a\",\"xy\",2,0,0)"}, "xyxya", 1},
        {"aaa", 9, {"repl(\"a\",\"xy\")"}, "aaa", 9},
        {"aa", 1, {"repl(\"a\",\"aa\")"}, "aaaa", 1},
        {l123, 1, {"repl(\"2\",\"\",0,0,1)"}, join({"l1", "l3"}), 1},
        {l123, 1, {"repl(\"3\",\"\",0,0,1)"}, join({"l1", "l2"}), 1},
        {l123, 1, {"repl(\"L\",\"z\",2,1,1)"}, join({"z", "z", "l3"}), 1},
        {"abc", 1, {"repl(\"\",\"x\",0,1,0)"}, "abc", 1},
        {L1252("ÀBà"), 1, {L1252("repl(\"à\",\"x\",0,1,0)")}, "xBx", 1},
        {"a\tb", 1, {"repl(\"\\t\",\"\\n\")"}, "a\r\nb", 1},
        {"abab", 1, {"del(\"ab\",1,0)"}, "ab", 1},
        {"aXbxC", 1, {"del(\"x\",0,1)"}, "abC", 1},
        {join({"a", "x1", "b", "x2"}), 1, {"deline(\"x\",0,0)"}, "a\r\nb\r\n", 1},
        {join({"a", "x1", "x2", "b"}), 1, {"deline(\"x\",1,0)"}, join({"a", "x2", "b"}), 4},
        {join({"A", "x", "a"}), 1, {"deline(\"a\",0,1)"}, "x\r\n", 1},
        {join({"A", "x", "a"}), 1, {"deline(\"a\")"}, join({"A", "x", ""}), 1},
        {abc, 7, {"deline(\"\",0,0)"}, "a\r\nb\r\n", 7},
        {std::string(32000, 'a'), 1, {"deline(\"a\")"}, "", 1},
        {"a<b>c<d>e", 7, {"delinepart(\"<\",\">\",1,0,0)"}, "a<b>ce", 1},
        {"a<b>c>d", 7, {"delinepart(\"<\",\">\",0,1)"}, "ad", 1},  // the second end delimiter
        {join({"a<b", "c>d<e>f"}), 7, {"delinepart(\"<\",\">\")"}, join({"a<b", "c>df"}), 1},
        {join({"a<b", "c<d>"}), 7, {"delinepart(\"<\",\">\",0,0,1)"}, join({"a<b", "c<d>"}), 1},
        // A removal that joins CR and LF makes a new line: its "<y>" is the first of its line.
        {"a<p>\r<x>\nb<y>c", 7, {"delinepart(\"<\",\">\",1,0)"}, "a<p>\r\nb<y>c", 1},
        {join({"a#b#c", "#d#"}), 7, {"delinepart(\"#\",\"#\")"}, join({"ac", ""}), 1},
        {"a<b>c", 7, {"delinepart(\"<\",\"\")"}, "ab>c", 1},
        {join({"abcd", "xy", "q"}), 7, {"delinechar(1,1,0)"}, join({"bc", "q"}), 1},
        {join({"abc", "", "d", "", ""}), 7, {"delinechar(0,0,0)"}, join({"abc", "d", ""}), 1},
        {join({"abc", "def", "ghi"}), 7, {"delinechar(2,0,2)"}, join({"c", "f", "ghi"}), 1},
        {"abcdefgh", 5, {"pos(-6)"}, "abcdefgh", -1},
        {"abcdefgh", 1, {"pos(2.5)"}, "abcdefgh", 4},
        {"abcdefgh", 3, {"pos(abc)"}, "abcdefgh", 3},
        {abc, 1, {"line(2,-2)"}, abc, 5},
        {abc, 1, {"line(5,0)"}, abc, 8},  // past the last line: the end of the text
        {"abc", 1, {"write(\"X\")", "write(\"Y\")"}, "YXabc", 1},
        {"abc", 2, {"write(\"a(b)\")"}, "aabc", 2},
        {"abc", 9, {"write(\"Z\")"}, "abcZ", 9},
        {"abc", 1, {"write(\"\\n\")"}, "\\nabc", 1},  // no escapes
        {"\x82\x83\x84\x85\x86\x87", 1, {"oemtoansi()"}, "\xE9\xE2\xE4\xE0\xE5\xE7", 1},  // éâäàåç
        {all, 7, {"oemtoansi()", "ansitooem()"}, all, 7},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.engine.document.setText(c.text);
        rig.engine.document.posTreball = c.cursor;
        rig.run(c.script);
        const std::string where = c.script.back() + " on [" + c.text.substr(0, 40) + "]";
        EXPECT_EQ(rig.engine.document.textTreball(), c.expectedText) << where;
        EXPECT_EQ(rig.engine.document.posTreball, c.expectedCursor) << where;
        EXPECT_TRUE(rig.host.messages.empty()) << where;
    }
}

TEST(TextCommands, LongTextsWithoutLineBreakAskAndChangeNothing) {
    const std::string pieces = L1252("Error de en executar linia 1\rNo s'ha trobat retorn (13+10)\r"
                                     "Continuar amb l'execució de la següent linia?");
    const std::string chars = L1252("No s'ha trobat canvi de línia en els primers 32000 caracters");
    for (const char* line : {"deline(\"a\")", "delinepart(\"a\",\"a\")", "delinechar(1,1)"}) {
        for (bool yes : {true, false}) {
            Rig rig;
            rig.engine.document.setText(std::string(32001, 'a'));
            rig.host.answers = {yes};
            rig.run({"'0", line, "beep"});
            ASSERT_EQ(rig.host.messages.size(), 1u) << line;
            const std::string& text = rig.host.messages[0].text;
            EXPECT_TRUE(line[6] == '(' ? text == pieces : text.find(line[6] == 'c' ? chars : "(13+10)") != std::string::npos) << line;
            EXPECT_EQ(rig.engine.document.textTreball().size(), 32001u) << line;
            EXPECT_EQ(rig.platform.calls.size(), yes ? 1u : 0u) << line;
            EXPECT_EQ(rig.engine.runEndedByNo(), !yes) << line;  // a No ends the run as a failure
        }
    }
}

TEST(TextCommands, CountersRunOutAfter32767ChangesFromZero) {
    std::string lines40k, parts40k;
    for (int i = 0; i < 40000; ++i) lines40k += "x\r\n", parts40k += "a<b>\r\n";
    // The text, the line, how many of the text's first character remain, and whether it prompts.
    struct C { std::string text; const char* line; std::size_t remaining; bool prompt; } cases[] = {
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
        rig.engine.document.setText(c.text);
        rig.engine.document.posTreball = 1;
        rig.host.answers = {true};
        rig.run({c.line});
        const std::string& t = rig.engine.document.textTreball();
        EXPECT_EQ(static_cast<std::size_t>(std::count(t.begin(), t.end(), c.text[0])), c.remaining) << c.line;
        EXPECT_EQ(rig.host.messages.size(), c.prompt ? 1u : 0u) << c.line;
    }
}

TEST(TextCommands, OnAnEmptyTextMostDoNothingAndPosToZeroReports) {
    for (const char* line : {"pos(0)", "line(abc)", "write(\"x\")", "search(\"a\")", "repl(\"\",\"x\",-5)",
                             "del(\"a\",99999)", "deline(\"x\",99999)", "save(\"\")"}) {
        Rig rig;
        rig.engine.document.posTreball = -7;
        rig.run({line});
        EXPECT_TRUE(rig.host.messages.empty()) << line;
        EXPECT_EQ(rig.engine.document.textTreball(), "") << line;
        EXPECT_EQ(rig.engine.document.posTreball, -7) << line;
    }
    Rig rig;
    rig.engine.document.setText("abcdefgh"), rig.engine.document.posTreball = 5;
    rig.run({"'0", "pos(-5)"});
    EXPECT_EQ(rig.host.shown(), std::vector<std::string>{"box|Error en comanda POS:|Error en POS en linia  1"});
    EXPECT_EQ(rig.engine.document.posTreball, 1);
}

// A device, and the reasons the system gives for a missing file, a missing
// folder and a device, which open and save pass on.
#ifdef _WIN32
const char* const kDevice = "NUL";
#else
const char* const kDevice = "/dev/null";
#endif
std::string whyNot(const std::string& path, bool writing = false) {
    std::string why;
    writing ? (void)writeFileSafely(path, "", &why) : (void)readFileBytes(path, &why);
    EXPECT_FALSE(why.empty()) << "a failure without its reason";
    return why;
}

TEST(FileCommands, OpenAndSaveOnRealFiles) {
    test::TempDir dir;
    const std::string in = dir / "in.txt", out = dir / "out.txt";
    const auto lost = [](const char* command, int line, const std::string& why) {
        return "box|Error en trobar el fitxer:|Error en comanda " + std::string(command) + " en linia  " +
               std::to_string(line) + ": El fitxer especificat no s'ha pogut trobar.\r" + why;
    };
    // Every byte kept, with no line break added.
    const std::string bytes = "a\r\nb\tc \x1A after the end-of-file mark";
    ASSERT_TRUE(writeFileSafely(in, bytes));
    Rig copy;
    copy.run({"open(\"" + in + "\")", "save(\"" + out + "\")"});
    EXPECT_EQ(copy.engine.document.textTreball() + "|" + std::to_string(copy.engine.document.posTreball), bytes + "|1");
    EXPECT_EQ(readFileBytes(out).value_or("<none>"), bytes);

    // A missing file empties the text and the run goes on; an empty text is not saved.
    std::filesystem::remove(out);
    Rig missing;
    missing.engine.document.setText("old"), missing.engine.document.posTreball = 5;
    missing.run({"'0", "open(\"" + (dir / "nope.txt") + "\")", "save(\"" + out + "\")", "beep"});
    EXPECT_EQ(missing.host.shown(), std::vector<std::string>{lost("OPEN", 1, whyNot(dir / "nope.txt"))});
    EXPECT_EQ(missing.engine.document.textTreball() + "|" + std::to_string(missing.engine.document.posTreball), "|1");
    EXPECT_EQ(readFileBytes(out).value_or("<none>"), "<none>");
    EXPECT_EQ(missing.platform.calls, std::vector<std::string>{"beep"});

    // Devices, folders and names with a NUL: refused at once, saying why; save keeps the text.
    // A failed save fails its line: the prompt names the file and the reason
    // (here answered Yes each time, so the run goes on).
    Rig saves, opens;
    saves.host.answers = {true, true, true, true};
    saves.engine.document.setText("data"), saves.engine.document.posTreball = 1;
    saves.run({"save(\"" + (dir / "no/such/dir/x.txt") + "\")", "save(\"" + dir.path() + "\")",
               "save(\"" + std::string(kDevice) + "\")", "save(\"" + (dir / "a") + std::string(1, '\0') + "b\")"});
    opens.engine.document.setText("old"), opens.engine.document.posTreball = 1;
    opens.run({"open(\"" + std::string(kDevice) + "\")", "open(\"" + dir.path() + "\")",
               "open(\"" + in + std::string(1, '\0') + "x\")"});
    const std::string device = whyNot(kDevice), nul = platform_texts::nulInName();
    const auto unsaved = [](int line, const std::string& name, const std::string& why) {
        return "question|Torvic|" + L1252("Error de Sintaxi a la línia: ") + std::to_string(line) + "\r" +
               textcmd_texts::saveFailed(" " + std::to_string(line), name, why) + "\r" +
               L1252("Continuar amb l'execució a la següent linia?");
    };
    EXPECT_EQ(saves.host.shown(),
              (std::vector<std::string>{unsaved(0, dir / "no/such/dir/x.txt", whyNot(dir / "no/such/folder/x", true)),
                                        unsaved(1, dir.path(), platform_texts::isAFolder()),
                                        unsaved(2, std::string(kDevice), device),
                                        unsaved(3, (dir / "a") + "?b", nul)}));
    EXPECT_EQ(opens.host.shown(), (std::vector<std::string>{lost("OPEN", 0, device), lost("OPEN", 1, platform_texts::isAFolder()),
                                                         lost("OPEN", 2, nul)}));
    EXPECT_FALSE(std::filesystem::exists(dir / "a"));
    EXPECT_EQ(saves.engine.document.textTreball() + "|" + opens.engine.document.textTreball(), "data|");
}

}  // namespace
}  // namespace torvic
