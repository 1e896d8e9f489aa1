// The engine: the run loop and the dispatcher, loading the line table, the
// keyword table, the start line read from Text3, failing lines and internal
// errors.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <filesystem>
#include <map>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "engine/commands.h"
#include "engine/engine_texts.h"
#include "script/encoding.h"
#include "script/script_file.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using test::Message;
using test::Rig;

// How a run ended, as the window would show it.
std::string result(Rig& rig) {
    return rig.host.ended             ? "program-ended"
           : rig.engine.runEndedByNo() ? "ended-by-no"
           : rig.host.text3Field == "Acabat" ? "finished"
                                             : "waiting";
}

TEST(RunLoop, TheDispatcherAndTheSyntaxErrorPrompt) {
    const std::string timed = "timed|TORVIC - Error de sintaxis:|Error en linia  ", asks = "question|Torvic|Error de Sintaxi a la línia: ";
    const std::string goOn = "\rContinuar amb l'execució a la següent linia?";
    struct Case {
        std::vector<std::string> script;
        std::vector<std::string> calls;
        std::vector<int> lines;
        std::string message;  // kind|title|text of the one message, or ""
        std::string result = "finished";
        std::deque<bool> answers = {};
        bool hidden = false;  // "Executa Ocult" rather than "Executa tot"
    } cases[] = {
        // Keywords ignore case and surrounding blanks, and the table keeps the line as typed.
        {{"  BEEP ()", "Beep", "bEeP(1,2)  "}, {"beep", "beep", "beep"}, {0, 1, 2}, ""},
        {{"' a comment", "/ another", "// wait(100)", "'beep"}, {}, {0, 1, 2, 3}, ""},
        {{"'0", "'1", "'2", "wiat(100)", "beep"}, {"beep"}, {0, 1, 2, 3, 4}, timed + "3.  La comanda 'wiat(100)' és incorrecte"},
        {{"\tbeep"}, {}, {0}, timed + "0.  La comanda '\tbeep' és incorrecte"},  // a tab is not trimmed
        // A blank line is trimmed to empty, and an empty entry ends a run that reaches it.
        {{"beep", "   ", "goto(0,1)"}, {"beep", "beep"}, {0, 1, 2, 0}, timed + "1.  La comanda '' és incorrecte"},
        {{"beep", "wait(-5)", "beep"}, {"beep", "beep"}, {0, 1, 2}, asks + "1\r" + engine_texts::negativeWait() + goOn, "finished", {true}},
        {{"focu(99)", "beep"}, {}, {0}, asks + "0\r" + engine_texts::slotOutside(99) + goOn, "ended-by-no", {false}},
        {{"beep", "stop", "beep", "end()", "END"}, {"beep"}, {0, 1}, ""},
        {{"beep", "END", "beep"}, {"beep"}, {0, 1}, "", "program-ended", {}, true},
    };
    for (const Case& c : cases) {
        Rig rig;
        const std::string& where = c.script[0];
        rig.host.answers = c.answers;
        if (c.hidden) {
            rig.host.editor = test::join(c.script);
            rig.host.hide();
            rig.engine.continueRun(0);
        } else {
            rig.run(c.script);
        }
        EXPECT_EQ(rig.platform.calls, c.calls) << where;
        EXPECT_EQ(rig.host.linesRun, c.lines) << where;
        EXPECT_EQ(result(rig), c.result) << where;
        EXPECT_EQ(rig.host.shown(), c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{L1252(c.message)})
            << where;
        std::string ran = c.script[0];  // the entry keeps the line, its blanks trimmed
        ran.erase(0, ran.find_first_not_of(' '));
        ran.erase(ran.find_last_not_of(' ') + 1);
        EXPECT_EQ(rig.engine.run.entry(0), ran) << where;
    }
}

TEST(Loading, Table) {
    // The editor text and the loaded lines (the next entry must be empty).
    struct Case { std::string editor; std::vector<std::string> entries; } cases[] = {
        {"wait(1)\r\n\r\n  \r\nbeep", {"wait(1)", "  ", "beep"}},  // empty lines dropped, blank ones kept
        {"a\rb\nc\r\nd\n\re", {"a\rb\nc", "d\n\re"}},            // only CR LF breaks a line
        {"", {}},
        {"\r\n\r\nbeep\r\n\r\n", {"beep"}},
        {"beep\r\nxy", {"beep", "xy"}},  // the last line needs no break
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.engine.loadLines("x\r\ny\r\nz\r\nw");  // a reload clears the earlier script's entries
        ASSERT_EQ(rig.engine.loadLines(c.editor), Engine::LoadResult::Loaded);
        EXPECT_EQ(rig.engine.run.nombreLinies, static_cast<int>(c.entries.size()));
        for (std::size_t i = 0; i <= c.entries.size(); ++i)
            EXPECT_EQ(rig.engine.run.linies[i], i < c.entries.size() ? c.entries[i] : "") << i;
    }
}

// What each kind of script file reads as (the editor text in 1252, and
// without loss in UTF-8), and the bytes it is written back as.
TEST(Loading, ScriptFilesKeepTheirEncoding) {
    using enum TextEncoding;
    const std::string bom(kUtf8Bom), marker(kEncodedMarker);
    struct Case {
        const char* what;
        std::string bytes;
        TextEncoding encoding;
        std::string text, utf8;  // utf8: "" for a 1252 file
        bool lineFeeds, endsWithLineBreak;
        std::string written = "";  // "": the same bytes
    } cases[] = {
        {"1252, CR LF", "msg(\"caf\xE9\")\r\nbeep\r\n", Ansi, "msg(\"caf\xE9\")\r\nbeep", "", false, true},
        {"1252, no break after the last line", "beep\r\nbeep", Ansi, "beep\r\nbeep", "", false, false},
        {"1252, lone CR", "a\rb\r", Ansi, "a\r\nb", "", false, true, "a\r\nb\r\n"},
        {"one CR anywhere: a lone LF is a character", "a\r\nb\nc", Ansi, "a\r\nb\nc", "", false, false},
        {"LF only, an empty line", "a\nb\n\nc\n", Ansi, "a\r\nb\r\n\r\nc", "", true, true},
        {"LF only, no break after the last line", "a\nb", Ansi, "a\r\nb", "", true, false},
        {"1252 that is not valid UTF-8", "caf\xC3(\r\n", Ansi, "caf\xC3(", "", false, true},
        {"UTF-8 with its mark", bom + "msg(\"café\")\r\nbeep\r\n", Utf8Bom, "msg(\"caf\xE9\")\r\nbeep",
         "msg(\"café\")\r\nbeep", false, true},
        {"UTF-8 with its mark, ASCII only", bom + "beep", Utf8Bom, "beep", "beep", false, false},
        {"UTF-8 with LF, as other editors write it", "msg(\"café\")\nbeep\n", Utf8, "msg(\"caf\xE9\")\r\nbeep",
         "msg(\"café\")\r\nbeep", true, true},
        {"UTF-8 holding what 1252 cannot", "msg(\"a→ő\")\r\n", Utf8, "msg(\"a??\")", "msg(\"a→ő\")", false, true},
        // An encoded script's bytes are the key's, even when they read as UTF-8.
        {"encoded", marker + "!k\xC3\xA9\r\n\xC3\xA9", Ansi, marker + "!k\xC3\xA9\r\n\xC3\xA9", "", false, false},
        {"encoded, in UTF-8 with its mark", bom + marker + "!ké", Utf8Bom, marker + "!k\xE9", marker + "!ké", false, false},
    };
    for (const Case& c : cases) {
        const ScriptFile file = readScriptFile(c.bytes);
        EXPECT_EQ(file.encoding, c.encoding) << c.what;
        EXPECT_EQ(file.text, c.text) << c.what;
        EXPECT_EQ(file.textUtf8, c.utf8) << c.what;
        EXPECT_EQ(file.readLineFeeds, c.lineFeeds) << c.what;
        EXPECT_EQ(file.endsWithLineBreak, c.endsWithLineBreak) << c.what;
        const std::string utf8 = isUtf8(file.encoding) ? file.textUtf8 : cp1252::toUtf8(file.text);
        const LineBreak lineBreak = file.readLineFeeds ? LineBreak::Lf : LineBreak::CrLf;
        EXPECT_EQ(scriptFileBytes(utf8, file.encoding, file.endsWithLineBreak, lineBreak),
                  c.written.empty() ? c.bytes : c.written)
            << c.what;
    }
    // A script read with LF line ends is written with LF, unless the editor
    // took a CR of its own into it: with LF ends the file would then read
    // back with CR ones (and its LFs as characters), so it keeps CR LF.
    const std::pair<std::string, std::string> lineFeeds[] = {
        {"a\r\nb", "a\nb\n"}, {"a\r\n\r\nb\nc", "a\n\nb\nc\n"}, {"a\r\nb\rc", "a\r\nb\rc\r\n"},
    };
    for (const auto& [editor, written] : lineFeeds)
        EXPECT_EQ(scriptFileBytes(editor, TextEncoding::Utf8, true, LineBreak::Lf), written) << editor;
    // An encoded script written in UTF-8 gets the mark, so that it reads back as UTF-8.
    EXPECT_EQ(readScriptFile(scriptFileBytes(marker + "!ké", Utf8)).text, marker + "!k\xE9");
}

TEST(RunLoop, ALineWithCharacters1252CannotHoldStopsAtThePrompt) {
    const auto prompt = [](int line, const std::string& codes) {
        return L1252("question|Torvic|Error de Sintaxi a la línia: " + std::to_string(line) +
                     "\rLa línia té caràcters que no són del joc de caràcters 1252: " + codes +
                     ".\rContinuar amb l'execució a la següent linia?");
    };
    // The editor text (UTF-8), the answer, what ran, the prompt (if any) and how the run ended.
    struct Case { std::string utf8; std::deque<bool> answers; std::vector<std::string> calls; std::string prompt, result; } cases[] = {
        {"beep\r\n\r\nmsg(\"a→b\")\r\nbeep", {true}, {"beep", "beep"}, prompt(1, "U+2192"), "finished"},
        {"beep\r\n\r\nsend(\"ő\U0001F600\", 0)\r\nbeep", {false}, {"beep"}, prompt(1, "U+0151 U+1F600"), "ended-by-no"},
        {"' a comment → does nothing\r\nbeep", {}, {"beep"}, "", "finished"},
        {"send(\"café €\xC2\x81\")", {}, {"send caf\xE9 \x80\x81"}, "", "finished"},  // 1252 holds é, € and 0x81
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.host.editorUtf8 = c.utf8;
        rig.host.editor = utf8To1252(c.utf8);
        rig.host.answers = c.answers;
        rig.engine.runAll();
        EXPECT_EQ(rig.platform.calls, c.calls) << c.utf8;
        EXPECT_EQ(rig.host.shown(), c.prompt.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.prompt}) << c.utf8;
        EXPECT_EQ(result(rig), c.result) << c.utf8;
        rig.host.editorUtf8 = rig.host.editor = "beep\r\nbeep";  // the next run forgets them
        rig.engine.runAll();
        EXPECT_EQ(rig.host.shown().size(), c.prompt.empty() ? 0u : 1u) << c.utf8;
    }
}

TEST(Loading, AtMost300LinesAndARefusedScriptLeavesTheTable) {
    Rig rig;
    std::vector<std::string> lines(300, "'x");
    ASSERT_EQ(rig.engine.loadLines(test::join(lines)), Engine::LoadResult::Loaded);
    EXPECT_EQ(rig.engine.run.linies[300], "");
    rig.engine.loadLines("beep");
    lines.push_back("'y");
    EXPECT_EQ(rig.engine.loadLines(test::join(lines)), Engine::LoadResult::TooManyLines);
    EXPECT_EQ(rig.engine.run.nombreLinies, 1);
    EXPECT_EQ(rig.engine.run.linies[0], "beep");

    rig.run(std::vector<std::string>(301, "beep"));  // refused before anything runs
    EXPECT_TRUE(rig.platform.calls.empty());
    EXPECT_EQ(rig.host.messages.size(), 1u);
    EXPECT_TRUE(rig.host.buttonsEnabled);
    EXPECT_FALSE(rig.host.ended);

    // Hidden, nobody could end the program afterwards: it ends there.
    Rig hidden;
    hidden.host.editor = test::join(std::vector<std::string>(301, "beep"));
    hidden.host.hide();
    hidden.engine.continueRun(0);
    EXPECT_EQ(hidden.host.messages.size(), 1u);
    EXPECT_TRUE(hidden.host.ended);
}

// Every row is whole, its keyword its own, and the manual's example of it
// runs as a script line of that command: dispatched, with no error.
TEST(KeywordTable, EveryManualExampleRunsAsItsCommand) {
    test::TempDir tmp;  // the examples write files (save, ref): in a folder of their own
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(tmp.path());
    for (const CommandRow& row : commandTable()) {
        EXPECT_EQ(findCommand(row.keyword), &row) << row.keyword;  // no keyword twice
        EXPECT_TRUE(row.run && !row.hint.empty() && !row.description.empty()) << row.keyword;
        const std::string example = L1252(row.example);  // read as its command: see the manual's test
        Rig rig;
        rig.host.answers = {true, true, true};
        rig.run({"exec(\"program\",1,3)", example, "'end"});  // focu's example brings program 3 forward
        for (const Message& m : rig.host.messages) {
            EXPECT_EQ(m.text.find("La comanda"), std::string::npos) << example << " was reported as unrecognised";
            EXPECT_EQ(m.text.find("Error de Sintaxi"), std::string::npos) << example << ": " << m.text;
        }
    }
    EXPECT_EQ(findCommand("wiat"), nullptr);
    std::filesystem::current_path(before);
}

// A line is cut once for as long as the table holds it: a new run reloads
// the table, and its lines are cut anew.
TEST(RunControls, EachRunCutsItsOwnLines) {
    Rig rig;
    rig.run({"msg(\"primer\",1,\"t\")", "goto(0,1)"});
    rig.run({"msg(\"segon\",1,\"t\")"});
    EXPECT_EQ(rig.host.shown(), (std::vector<std::string>{"box|t|primer", "box|t|primer", "box|t|segon"}));
}

TEST(FailingLines, PromptYesGoesOnAndNothingChanges) {
    const std::string positive = L1252("Error de Sintaxi a la línia: 0\r\rAquests parametres han de ser positius.\r"
                                       "Continuar amb l'execució a la següent linia?");
    // The cursor in the working text "a<b>c", the line, and the whole prompt
    // when it says more than the line number.
    struct Case { std::int32_t cursor; const char* line; std::string prompt = ""; } cases[] = {
        {1, "wait(-1)"}, {1, "time(25:00)"}, {1, "time()"}, {1, "iftime(8:7x)"}, {1, "date(30/2)"},
        {1, "date(1/1/1/1)"}, {1, "exec(\"calc\",1,16)"}, {1, "exec(\"calc\",5)"}, {1, "exec(\"missing.exe\")"},
        {1, "focu(5)"}, {1, "focu(-1)"}, {1, "execdoc(\"x\",1,256)"}, {1, "send(\"{BOGUS}\")"}, {1, "msg(256)"},
        {-1, "search(\"a\")"}, {-1, "repl(\"a\",\"b\",0,1)"}, {-1, "deline(\"\")"}, {-1, "write(\"x\")"},
        {1, "write"}, {1, "write(\"x)"}, {1, "repl(\"a\",\"b\",-2)"},
        {1, "delinepart(\"<\",\">\",-1,0,0)", positive}, {1, "delinechar(0,-1)", positive},
        // Numbers beyond every range: no date, no wait target, no integer.
        {1, "wait(1e308)"}, {1, "wait(-1e300,1)"}, {1, "time(2958466)"}, {1, "iftime(1e30)"},
        {1, "ifdate(99999999999999999999)"}, {1, "mouse(1e10,0)"}, {1, "mouse(+3000000000,0)"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.engine.document.setText("a<b>c");
        rig.engine.document.posTreball = c.cursor;
        rig.host.answers = {true};
        rig.run({c.line, "beep"});
        ASSERT_EQ(rig.host.messages.size(), 1u) << c.line;
        EXPECT_EQ(rig.host.messages[0].kind, Message::Question) << c.line;
        if (!c.prompt.empty()) {
            EXPECT_EQ(rig.host.messages[0].text, c.prompt) << c.line;
        }
        EXPECT_EQ(rig.engine.document.textTreball(), "a<b>c") << c.line;
        EXPECT_EQ(rig.platform.calls, std::vector<std::string>{"beep"}) << c.line;  // only the next line ran
        for (double id : rig.engine.run.idsPrograma) EXPECT_EQ(id, 0) << c.line;
    }
}

Rig* internalRig = nullptr;

TEST(InternalError, PromptsNamingItselfAndFailsTheTest) {
    // A fault of ours (an exception that is not a script error) still prompts,
    // but says so, and the scripted host fails the test in which it happens.
    Rig rig;
    internalRig = &rig;
    rig.platform.beepThrowsLogicError = true;
    rig.host.answers = {true};
    EXPECT_NONFATAL_FAILURE(internalRig->run({"beep", "'next"}), "internal error: bug in beep");
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_NE(rig.host.messages[0].text.find("Error intern del programa: bug in beep"), std::string::npos);
    EXPECT_EQ(rig.host.linesRun, (std::vector<int>{0, 1}));  // Yes went on
}

}  // namespace
}  // namespace torvic
