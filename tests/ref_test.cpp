// ref: what it extracts and reports through the engine, and the indexed
// extraction against the plain step-by-step form on random catalogues.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/cp1252.h"
#include "platform/files.h"
#include "base/text.h"
#include "tests/support/plain_reference.h"
#include "tests/support/scripted_host.h"
#include "textcmd/ref.h"

namespace torvic {
namespace {

using test::Message;
using test::Rig;

class RefTest : public ::testing::Test {
protected:
    // Runs def and ref on a working text; returns the file written.
    std::string ref(const std::string& text, const std::string& def, const std::string& selection) {
        rig = std::make_unique<Rig>();
        rig->engine.document.setText(text);
        std::filesystem::remove(out);
        rig->run({"def(" + def + ")", "ref(\"" + out + "\",\"" + selection + "\")"});
        return readFileBytes(out).value_or("<no file>");
    }
    std::vector<std::string> reportedReferences() const {
        std::vector<std::string> refs;
        const std::string label = L1252("La referència que no es pot trobar és: ");
        for (const Message& m : rig->host.messages)
            if (std::size_t p = m.text.find(label); p != std::string::npos)
                refs.push_back(m.text.substr(p + label.size(), m.text.find("\r\n", p + label.size()) - p - label.size()));
        return refs;
    }

    test::TempDir tmp;
    const std::string out = tmp / "out.txt";
    std::unique_ptr<Rig> rig;
};

// What each selection form writes and which references it reports.
TEST_F(RefTest, EdgeCases) {
    struct C { std::string text, def, selection, file; std::vector<std::string> reported; } cases[] = {
        {"ART1 first\r\nx\r\n", "ART", "1", "", {"ART1"}},                 // the first line is never found
        {"t\r\nART1 last", "ART", "1", "", {}},                             // last line without CR LF
        {"t\r\n123 a\r\n12 b\r\n", "", "12", "123 a\r\n", {}},                  // prefix match, first wins
        {"t\r\n10 a\r\n11 b\r\n", "", "10;,11", "10 a\r\n\r\n11 b\r\n\r\n", {}},  // the flag stays on
        {"t\r\n10\r\n11\r\n12\r\n13\r\n", "", "10_13<11_12>", "10\r\n13\r\n", {}},
        {"t\r\nART1 x\r\n", "art", "1", "", {"art1"}},                      // case-sensitive
        {"\r\n10 first\r\n11\r\n", "", "10_99", "10 first\r\n", {"99"}},     // missing range end
        {"t\r\n11\r\n10\r\n", "", "10_11", "", {}},                          // end before start
        {"t\r\n10\r\n11\r\n", "", "10,11<10_77>", "10\r\n11\r\n", {"77"}},
        {"t\r\n10\r\n11\r\n", "", "10<11>2>", "10\r\n", {"", "2", "11"}},     // two ">" in a part
        {"t\r\n1 a\r\n", "", " 1", "", {" 1"}},                              // blanks are kept
    };
    for (const C& c : cases) {
        EXPECT_EQ(ref(c.text, c.def, c.selection), c.file) << c.selection << " on [" << c.text << "]";
        EXPECT_EQ(reportedReferences(), c.reported) << c.selection;
    }
}

// Each kind of missing reference has its message, title, timeout and file
// name; two ">" in a part or two "_" in an item leave only the line number.
TEST_F(RefTest, ReportsCarryTheirMessagesAndTheFileName) {
    ref("t\r\n10\r\n", "", "5,10_6<7>");
    const char* kinds[] = {"No pot trobar referència que s'ha d'AFEGIR", "REFERÈNCIA FINAL D'UN INTERVAL",
                           "No pot trobar ref d'extracció"};
    ASSERT_EQ(rig->host.messages.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const Message& m = rig->host.messages[i];
        EXPECT_NE(m.text.find(L1252(kinds[i])), std::string::npos) << i;
        EXPECT_EQ(m.title + "|" + std::to_string(m.kind == Message::Timed ? m.seconds : -1), "TORVIC - Error de sintaxis:|15");
        EXPECT_NE(m.text.find("Fitxer: " + out), std::string::npos);
    }
    ref("t\r\n1\r\n2\r\n3\r\n", "", "1_2_3,1<2>3>");
    EXPECT_EQ(rig->host.messages.size(), 2u);
    for (const Message& m : rig->host.messages)
        EXPECT_EQ(m.text, L1252("\r\nError de sintaxis en la linia: 1\r\n\r\nLa referència que no es pot trobar és: "
                                "\r\nDefecte:   Fitxer: "));
}

// Blanks round the file name are dropped; a file that cannot be written asks.
TEST_F(RefTest, FileNameIsTrimmedAndWriteFailuresArePrompted) {
    Rig r;
    r.engine.document.setText("t\r\n1 a\r\n");
    r.host.answers = {true};
    r.run({"ref(\"  " + out + "  \",\"1\")", "ref(\"" + tmp / "no/dir.txt" + "\",\"1\")", "beep"});
    EXPECT_EQ(readFileBytes(out).value_or(""), "1 a\r\n");
    ASSERT_EQ(r.host.messages.size(), 1u);
    EXPECT_EQ(r.host.messages[0].kind, Message::Question);
    EXPECT_EQ(r.platform.calls.size(), 1u);
}

TEST(RefExtraction, MatchesTheStepByStepFormOnRandomCatalogues) {
    // Repeated and prefix keys, lone CR and LF, ranges, ";", exclusions and
    // malformed forms; enough items for the index to be used.
    std::mt19937 rng(2024);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto key = [&] { return std::to_string(pick(0, 15)) + (pick(0, 6) ? "" : pick(0, 1) ? "\r" : "\n"); };
    for (int round = 0; round < 1500; ++round) {
        std::string text = pick(0, 3) ? "head\r\n" : pick(0, 1) ? "\r\n" : "";
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
        std::vector<RefError> got, expected;
        std::string result = extractReferences(text, prefix, selection, got);
        ASSERT_EQ(result, plain::extractReferences(text, prefix, selection, expected))
            << "selection [" << selection << "] on [" << text << "]";
        ASSERT_EQ(got, expected) << "selection [" << selection << "]";
    }
}

}  // namespace
}  // namespace torvic
