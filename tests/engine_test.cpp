#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using test::Message;
using test::Rig;

TEST(Loading, EmptyLinesAreDroppedBlankLinesKept) {
    Rig rig;
    ASSERT_EQ(rig.engine.carregarLinies("wait(1)\r\n\r\n  \r\nbeep"), Engine::LoadResult::Loaded);
    EXPECT_EQ(rig.engine.nombreLinies, 3);
    EXPECT_EQ(rig.engine.linies[0], "wait(1)");
    EXPECT_EQ(rig.engine.linies[1], "  ");
    EXPECT_EQ(rig.engine.linies[2], "beep");
    EXPECT_EQ(rig.engine.linies[3], "");
}

TEST(Loading, OnlyCarriageReturnLineFeedBreaksALine) {
    Rig rig;
    rig.engine.carregarLinies("a\rb\nc\r\nd\n\re");
    EXPECT_EQ(rig.engine.nombreLinies, 2);
    EXPECT_EQ(rig.engine.linies[0], "a\rb\nc");
    EXPECT_EQ(rig.engine.linies[1], "d\n\re");
    EXPECT_EQ(rig.engine.linies[2], "");
}

TEST(Loading, EmptyEditorAndTrailingBreaks) {
    Rig rig;
    rig.engine.carregarLinies("");
    EXPECT_EQ(rig.engine.nombreLinies, 0);
    rig.engine.carregarLinies("\r\n\r\nbeep\r\n\r\n");
    EXPECT_EQ(rig.engine.nombreLinies, 1);
    EXPECT_EQ(rig.engine.linies[0], "beep");
}

TEST(Loading, ReloadClearsEntriesOfTheEarlierScript) {
    Rig rig;
    rig.engine.carregarLinies("a\r\nb\r\nc");
    rig.engine.carregarLinies("x");
    EXPECT_EQ(rig.engine.linies[1], "");
    EXPECT_EQ(rig.engine.linies[2], "");
}

TEST(Loading, TheTableHoldsAtMost300Lines) {
    Rig rig;
    std::vector<std::string> lines(300, "'x");
    ASSERT_EQ(rig.engine.carregarLinies(Rig::join(lines)), Engine::LoadResult::Loaded);
    EXPECT_EQ(rig.engine.nombreLinies, 300);
    EXPECT_EQ(rig.engine.linies[300], "");

    rig.engine.carregarLinies("beep");
    lines.push_back("'y");
    EXPECT_EQ(rig.engine.carregarLinies(Rig::join(lines)), Engine::LoadResult::TooManyLines);
    EXPECT_EQ(rig.engine.nombreLinies, 1);  // the refused script left the table alone
    EXPECT_EQ(rig.engine.linies[0], "beep");
}

TEST(Loading, TooLongScriptIsRefusedBeforeAnythingRuns) {
    Rig rig;
    std::vector<std::string> lines(301, "beep");
    rig.run(lines);
    EXPECT_TRUE(rig.platform.calls.empty());
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].kind, Message::Box);
    EXPECT_NE(rig.host.messages[0].text.find("300"), std::string::npos);
    EXPECT_TRUE(rig.host.buttonsEnabled);
}

TEST(Loading, EncodedScriptsAreDecodedLayerByLayer) {
    Rig rig;
    // A stand-in layer format: marker, key, "|", the text with every byte
    // shifted by the key's length, "|" (anything after it is ignored).
    rig.engine.decoder.extreuClau = [](const std::string& t) { return t.substr(4, t.find('|') - 4); };
    rig.engine.decoder.descodificaText = [](const std::string& key, const std::string& t) {
        std::size_t b = t.find('|') + 1;
        std::string body = t.substr(b, t.rfind('|') - b);
        for (char& c : body) c = static_cast<char>(c - static_cast<char>(key.size()));
        return body;
    };
    auto encode = [](const std::string& key, std::string text) {
        for (char& c : text) c = static_cast<char>(c + static_cast<char>(key.size()));
        return "$%& " + key + "|" + text + "|";
    };
    std::string twice = encode("kk", encode("k", "beep\r\nwait(5)\r\n"));
    rig.engine.carregarLinies(twice);
    EXPECT_EQ(rig.engine.nombreLinies, 2);
    EXPECT_EQ(rig.engine.linies[0], "beep");
    EXPECT_EQ(rig.engine.linies[1], "wait(5)");
}

TEST(Dispatcher, KeywordsIgnoreCaseAndSurroundingBlanks) {
    Rig rig;
    rig.run({"  BEEP ()", "Beep", "bEeP(1,2)  "});
    EXPECT_EQ(rig.platform.calls, (std::vector<std::string>{"beep", "beep", "beep"}));
    EXPECT_EQ(rig.engine.linies[0], "BEEP ()");  // stored trimmed
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_EQ(rig.host.text3Field, "Acabat");
    EXPECT_EQ(rig.host.text4Field, "");
}

TEST(Dispatcher, CommentsDoNothing) {
    Rig rig;
    rig.run({"' a comment", "/ another", "// wait(100)", "'beep"});
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_TRUE(rig.platform.calls.empty());
    EXPECT_FALSE(rig.host.timer1On);
    EXPECT_EQ(rig.host.linesRun, (std::vector<int>{0, 1, 2, 3}));
}

TEST(Dispatcher, UnrecognisedCommandIsReportedAndTheRunGoesOn) {
    Rig rig;
    rig.run({"'0", "'1", "'2", "wiat(100)", "beep"});
    ASSERT_EQ(rig.host.messages.size(), 1u);
    const Message& m = rig.host.messages[0];
    EXPECT_EQ(m.kind, Message::Timed);
    EXPECT_EQ(m.text, L1252("Error en linia  3.  La comanda 'wiat(100)' és incorrecte"));
    EXPECT_EQ(m.title, "TORVIC - Error de sintaxis:");
    EXPECT_EQ(m.seconds, 10);
    EXPECT_EQ(rig.platform.calls.size(), 1u);  // line 4 ran
}

TEST(Dispatcher, TabBeforeKeywordIsUnrecognised) {
    Rig rig;
    rig.run({"\tbeep"});
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, L1252("Error en linia  0.  La comanda '\tbeep' és incorrecte"));
    EXPECT_TRUE(rig.platform.calls.empty());
}

TEST(Dispatcher, BlankLineIsTrimmedToEmptyAndThenEndsRuns) {
    Rig rig;
    // Line 1 is blanks: reported with an empty name, stored empty; the goto
    // back to line 0 then runs beep, and the run ends at the emptied line 1.
    rig.run({"beep", "   ", "goto(0,1)"});
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, L1252("Error en linia  1.  La comanda '' és incorrecte"));
    EXPECT_EQ(rig.engine.linies[1], "");
    EXPECT_EQ(rig.platform.calls.size(), 2u);
    EXPECT_EQ(rig.host.linesRun, (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(rig.host.text3Field, "Acabat");
}

TEST(Dispatcher, EveryKeywordIsRecognised) {
    ASSERT_EQ(Engine::keywords().size(), 37u);
    EXPECT_EQ(Engine::keywords().front(), "wait");
    EXPECT_EQ(Engine::keywords().back(), "ref");
    for (std::string_view k : Engine::keywords()) {
        Rig rig;
        rig.host.answers = {true};
        rig.run({std::string(k) + "(\"1\",1)", "'end"});
        for (const Message& m : rig.host.messages)
            EXPECT_EQ(m.text.find("La comanda"), std::string::npos) << k << " was reported as unrecognised";
    }
}

TEST(SyntaxErrorPrompt, YesGoesOnNoEndsTheRun) {
    const std::string expected0 = L1252(
        "Error de Sintaxi a la línia: 1\r\rContinuar amb l'execució a la següent linia?");
    for (bool yes : {true, false}) {
        Rig rig;
        rig.host.answers = {yes};
        rig.run({"beep", "wait(-5)", "beep"});
        ASSERT_EQ(rig.host.messages.size(), 1u);
        EXPECT_EQ(rig.host.messages[0].kind, Message::Question);
        EXPECT_EQ(rig.host.messages[0].text, expected0);
        EXPECT_EQ(rig.host.messages[0].title, "Torvic");
        EXPECT_EQ(rig.platform.calls.size(), yes ? 2u : 1u);
        EXPECT_EQ(rig.engine.runEndedByNo(), !yes);
        EXPECT_EQ(rig.host.text3Field, "Acabat");
        EXPECT_TRUE(rig.host.buttonsEnabled);
    }
}

TEST(SyntaxErrorPrompt, ExtraTextGetsItsOwnLine) {
    Rig rig;
    rig.engine.liniaActual = 7;
    rig.engine.nombreLinies = 9;
    rig.host.answers = {true};
    std::string extra = "Aquests parametres han de ser positius.";
    rig.engine.PErrorSintaxi(extra);
    EXPECT_EQ(extra, "\r" + std::string("Aquests parametres han de ser positius."));
    EXPECT_EQ(rig.host.messages.at(0).text,
              L1252("Error de Sintaxi a la línia: 7\r\rAquests parametres han de ser positius.\r"
                    "Continuar amb l'execució a la següent linia?"));
    EXPECT_EQ(rig.engine.liniaActual, 8);
    rig.engine.PErrorSintaxi(extra);  // No
    EXPECT_EQ(rig.engine.liniaActual, 9);
}

TEST(RunControls, ButtonsThroughAWaitAndAStop) {
    Rig rig;
    rig.run({"beep", "wait(1000)", "beep"});
    EXPECT_FALSE(rig.host.buttonsEnabled);
    EXPECT_FALSE(rig.engine.runButtonsEnabled());
    EXPECT_EQ(rig.host.text3Field, "1");
    EXPECT_TRUE(rig.host.timer1On);

    rig.engine.Command4_Click();  // Stop
    EXPECT_TRUE(rig.host.buttonsEnabled);
    EXPECT_FALSE(rig.host.timer1On);
    EXPECT_EQ(rig.engine.liniaActual, 0);
    EXPECT_EQ(rig.host.text3Field, "1");
    rig.host.advance(5000);
    EXPECT_EQ(rig.platform.calls.size(), 1u);  // never resumed by itself

    rig.engine.Command3_Click();  // Cont Exec: the wait again
    EXPECT_TRUE(rig.host.timer1On);
    rig.host.advance(1000);
    EXPECT_EQ(rig.platform.calls.size(), 2u);
    EXPECT_EQ(rig.host.text3Field, "Acabat");
    EXPECT_TRUE(rig.host.buttonsEnabled);
    EXPECT_GT(rig.host.focusCount, 0);
}

TEST(RunControls, ExecutaTotReloadsEditsMadeWhileStopped) {
    Rig rig;
    rig.run({"wait(1000)", "beep"});
    rig.engine.Command4_Click();
    rig.host.editor = "beep\r\nbeep\r\nbeep";
    rig.engine.Command9_Click();
    EXPECT_EQ(rig.platform.calls.size(), 3u);
}

TEST(RunControls, StartLineFromText3) {
    struct Case {
        const char* text3;
        std::vector<int> lines;
    } cases[] = {
        {"Acabat", {0, 1, 2, 3}}, {"-4", {0, 1, 2, 3}}, {"2.5", {2, 3}}, {"3.5", {}}, {"2", {2, 3}},
        {"400", {}},              {"99999", {}},        {"1e999", {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.host.editor = "'0\r\n'1\r\n'2\r\n'3";
        rig.host.text3Field = c.text3;
        rig.engine.Command3_Click();
        EXPECT_EQ(rig.host.linesRun, c.lines) << c.text3;
        EXPECT_EQ(rig.host.text3Field, "Acabat") << c.text3;
    }
}

TEST(RunControls, ContinueWhileWaitingRestartsTheWaitOnce) {
    Rig rig;
    rig.run({"wait(1000)", "beep"});
    rig.host.advance(600);
    rig.engine.Command3_Click();  // as the tray item "Aturat" does
    rig.host.advance(600);
    EXPECT_TRUE(rig.platform.calls.empty());  // the first timer no longer counts
    rig.host.advance(400);
    EXPECT_EQ(rig.platform.calls.size(), 1u);
}

TEST(RunControls, HiddenRunEndsTheProgram) {
    Rig rig;
    rig.host.editor = "beep";
    rig.engine.Command8_Click();
    EXPECT_TRUE(rig.host.hidden);
    EXPECT_TRUE(rig.host.ended);
    EXPECT_EQ(rig.platform.calls.size(), 1u);
}

TEST(RunControls, RunStartedVisiblyButHiddenLaterEndsTheProgram) {
    Rig rig;
    rig.run({"wait(10)", "beep"});
    rig.host.visible = false;
    rig.host.advance(10);
    EXPECT_TRUE(rig.host.ended);
}

TEST(RunControls, EndButtonEndsTheProgram) {
    Rig rig;
    rig.engine.Command5_Click();
    EXPECT_TRUE(rig.host.ended);
}

TEST(RunControls, EmptyEditorFinishesAtOnce) {
    Rig rig;
    rig.run({});
    EXPECT_EQ(rig.engine.nombreLinies, 0);
    EXPECT_EQ(rig.host.text3Field, "Acabat");
    EXPECT_TRUE(rig.host.linesRun.empty());
}

}  // namespace
}  // namespace torvic
