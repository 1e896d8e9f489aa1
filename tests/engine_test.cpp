// The engine pieces that script cases cannot reach: loading the line table,
// the keyword table, the start line read from Text3, and internal errors.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "base/cp1252.h"
#include "engine/commands.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using test::Message;
using test::Rig;

TEST(Loading, Table) {
    struct Case {
        std::string editor;
        std::vector<std::string> entries;  // the loaded lines; the next entry must be empty
    } cases[] = {
        {"wait(1)\r\n\r\n  \r\nbeep", {"wait(1)", "  ", "beep"}},  // empty lines dropped, blank ones kept
        {"a\rb\nc\r\nd\n\re", {"a\rb\nc", "d\n\re"}},            // only CR LF breaks a line
        {"", {}},
        {"\r\n\r\nbeep\r\n\r\n", {"beep"}},
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
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, L1252("El programa té més de 300 línies i no es pot executar."));
    EXPECT_TRUE(rig.host.buttonsEnabled);
}

TEST(Loading, EncodedScriptsAreDecodedLayerByLayer) {
    Rig rig;
    // A stand-in layer: marker, key, "|", the text shifted by the key's length, "|".
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
    rig.engine.loadLines(encode("kk", encode("k", "beep\r\nwait(5)\r\n")));
    EXPECT_EQ(rig.engine.run.nombreLinies, 2);
    EXPECT_EQ(rig.engine.run.linies[1], "wait(5)");
    // A layer that does not shrink the text stops the decoding.
    rig.engine.decoder.descodificaText = [](const std::string&, const std::string& t) { return t + "x"; };
    rig.engine.loadLines("$%& k|beep|");
    EXPECT_EQ(rig.engine.run.linies[0], "$%& k|beep|");
}

TEST(KeywordTable, EveryKeywordDispatchesToItsCommand) {
    ASSERT_EQ(commandTable().size(), 37u);
    for (const CommandRow& row : commandTable()) {
        EXPECT_EQ(findCommand(row.keyword), &row);
        Rig rig;
        rig.host.answers = {true, true, true};
        rig.run({std::string(row.keyword) + "(\"1\",1)", "'end"});
        for (const Message& m : rig.host.messages)
            EXPECT_EQ(m.text.find("La comanda"), std::string::npos) << row.keyword << " was reported as unrecognised";
    }
    EXPECT_EQ(findCommand("wiat"), nullptr);
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
        rig.engine.continueRun();
        EXPECT_EQ(rig.host.linesRun, c.lines) << c.text3;
        EXPECT_EQ(rig.host.text3Field, "Acabat") << c.text3;
    }
}

TEST(SyntaxErrorPrompt, ExtraTextGetsItsOwnLine) {
    Rig rig;
    rig.engine.run.liniaActual = 7;
    rig.engine.run.nombreLinies = 9;
    rig.host.answers = {true};
    std::string extra = "Aquests parametres han de ser positius.";
    rig.engine.run.PErrorSintaxi(extra);
    EXPECT_EQ(rig.host.messages.at(0).text,
              L1252("Error de Sintaxi a la línia: 7\r\rAquests parametres han de ser positius.\r"
                    "Continuar amb l'execució a la següent linia?"));
    EXPECT_EQ(rig.engine.run.liniaActual, 8);
    rig.engine.run.PErrorSintaxi(extra);  // No
    EXPECT_EQ(rig.engine.run.liniaActual, 9);
    EXPECT_TRUE(rig.engine.runEndedByNo());
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
