// The text commands on UTF-8 documents: the same text in 1252 and in UTF-8
// gives the same result, characters 1252 lacks are kept whole, and a
// document is saved in the encoding it came in.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "script/working_text.h"
#include "tests/support/scripted_host.h"
#include "textcmd/text_algorithms.h"

namespace torvic {
namespace {

using test::Rig;

// A rig whose files live in memory; runs a script and keeps what it wrote.
struct DocumentRig {
    std::map<std::string, std::string> files;
    Rig rig;
    explicit DocumentRig(TextEncoding plainText) {
        rig.platform.memoryFiles = &files;
        rig.platform.plainText = plainText;
    }
    std::string run(const std::string& document, const std::vector<std::string>& commands) {
        files["d.txt"] = document;
        std::vector<std::string> script{"open(\"d.txt\")"};
        script.insert(script.end(), commands.begin(), commands.end());
        script.push_back("save(\"o.txt\")");
        rig.run(script);
        return files["o.txt"];
    }
};

std::string utf8(std::string_view text1252) { return cp1252::toUtf8(text1252); }

TEST(DocumentEncoding, OpenAndSaveKeepTheEncodingAndEveryByte) {
    // The file, and what it is read as on a system whose plain text is UTF-8.
    const std::string bom(kUtf8Bom);
    struct Case { std::string file; TextEncoding read; } cases[] = {
        {L1252("Plaça\r\nÀ"), TextEncoding::Ansi},
        {utf8(L1252("Plaça\r\nÀ")), TextEncoding::Utf8},
        {bom + utf8(L1252("Plaça\r\nÀ\r\n")), TextEncoding::Utf8Bom},
        {bom + "ascii", TextEncoding::Utf8Bom},
        {"ascii\n", TextEncoding::Utf8},                 // plain ASCII: the system's
        {"caf\xC3", TextEncoding::Ansi},                 // cut short: not UTF-8
        {"\xA0\x81\x8D\x8F\x90\x9D", TextEncoding::Ansi},  // the unassigned bytes
        {"\xC3\xA0\xC0\x80", TextEncoding::Ansi},        // an overlong form
    };
    for (const Case& c : cases) {
        DocumentRig d(TextEncoding::Utf8);
        EXPECT_EQ(d.run(c.file, {}), c.file);
        EXPECT_EQ(d.rig.engine.document.encoding, c.read) << c.file;
    }
}

TEST(DocumentEncoding, AsciiDocumentsTakeTheSystemsEncodingForWhatAScriptWrites) {
    const std::string written = L1252("àSuma €: 12\r\n"), script[] = {L1252("repl(\"Total\",\"Suma €\")"), L1252("write(\"à\")")};
    EXPECT_EQ(DocumentRig(TextEncoding::Ansi).run("Total: 12\r\n", {script[0], script[1]}), written);
    EXPECT_EQ(DocumentRig(TextEncoding::Utf8).run("Total: 12\r\n", {script[0], script[1]}), utf8(written));
}

TEST(DocumentEncoding, UnicodeCharactersSurviveAndCountAsOneCharacter) {
    // Arrows, Greek and an emoji around text the commands work on.
    const std::string doc = "\xE2\x86\x92 \xCE\xB1\xCE\xB2 caf\xC3\xA9 \xF0\x9F\x98\x80\r\n<\xE2\x86\x90>x\r\nend";
    struct Case { std::vector<std::string> script; std::string expected; } cases[] = {
        {{L1252("repl(\"é\",\"E\")")}, "\xE2\x86\x92 \xCE\xB1\xCE\xB2 cafE \xF0\x9F\x98\x80\r\n<\xE2\x86\x90>x\r\nend"},
        {{L1252("repl(\"CAFÉ\",\"x\",0,1)")}, "\xE2\x86\x92 \xCE\xB1\xCE\xB2 x \xF0\x9F\x98\x80\r\n<\xE2\x86\x90>x\r\nend"},
        {{"del(\"a\",0,0)"}, "\xE2\x86\x92 \xCE\xB1\xCE\xB2 cf\xC3\xA9 \xF0\x9F\x98\x80\r\n<\xE2\x86\x90>x\r\nend"},
        {{"deline(\"end\")"}, "\xE2\x86\x92 \xCE\xB1\xCE\xB2 caf\xC3\xA9 \xF0\x9F\x98\x80\r\n<\xE2\x86\x90>x\r\n"},
        {{"oemtoansi()", "ansitooem()"}, doc},  // not a code page text: left as it is
        // pos counts characters: the arrow, the blank and alpha are three.
        {{"pos(3)", "write(\"|\")"}, "\xE2\x86\x92 \xCE\xB1|\xCE\xB2 caf\xC3\xA9 \xF0\x9F\x98\x80\r\n<\xE2\x86\x90>x\r\nend"},
        // delinechar removes whole characters at both ends of each line.
        {{"delinechar(2,2,0)"}, "\xCE\xB1\xCE\xB2 caf\xC3\xA9\r\nend"},
        {{"delinepart(\"<\",\">\",0,0,0)"}, "\xE2\x86\x92 \xCE\xB1\xCE\xB2 caf\xC3\xA9 \xF0\x9F\x98\x80\r\nx\r\nend"},
        {{"line(1,1)", "deline(\"\")"}, "\xE2\x86\x92 \xCE\xB1\xCE\xB2 caf\xC3\xA9 \xF0\x9F\x98\x80\r\nend"},
        {{"search(\"f\")", "pos(2)", "write(\"|\")"}, "\xE2\x86\x92 \xCE\xB1\xCE\xB2 caf\xC3\xA9 |\xF0\x9F\x98\x80\r\n<\xE2\x86\x90>x\r\nend"},
    };
    for (const Case& c : cases) {
        DocumentRig d(TextEncoding::Utf8);
        d.rig.engine.document.posTreball = 1;
        EXPECT_EQ(d.run(doc, c.script), c.expected) << c.script[0];
        EXPECT_TRUE(isValidUtf8(d.files["o.txt"]));
    }
}

TEST(DocumentEncoding, RefWritesInTheDocumentsEncoding) {
    const std::string catalogue = L1252("Catàleg\r\nA1 Plaça\r\nA2 Església\r\nA3 →\r\n");
    const std::string bom(kUtf8Bom);
    DocumentRig d(TextEncoding::Utf8);
    d.files["d.txt"] = bom + utf8(catalogue);
    d.rig.run({"open(\"d.txt\")", "def(A)", "ref(\"r.txt\",\"1_2,9\")"});
    EXPECT_EQ(d.files["r.txt"], bom + utf8(L1252("A1 Plaça\r\nA2 Església\r\n")));
    ASSERT_EQ(d.rig.host.messages.size(), 1u);  // A9 is missing, reported in 1252
    EXPECT_NE(d.rig.host.messages[0].text.find("A9"), std::string::npos);
}

// Random texts of 1252's characters and random scripts of text commands:
// the run on the 1252 document and the run on the same text in UTF-8 give
// the same text, cursor and messages.
struct RandomRuns {
    std::mt19937 rng;
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    // Up to `most` of the alphabet's characters, now and then a line break if `breaks`.
    std::string of(const std::string& alphabet, int most, bool breaks) {
        std::string t;
        for (int n = pick(0, most); n > 0; --n)
            t += breaks && pick(0, 5) == 0 ? std::string("\r\n") : alphabet.substr(static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1)), 1);
        return t;
    }
    std::string text() { return of(L1252("abAB<>#éÉàÀçÇÿŸšŠ€·\x81\xA0 "), 60, true) + L1252("é"); }  // at least one beyond ASCII
    std::string needle() { return of(L1252("abAB<>#éÉàÀÿŸšŠ\x81"), 2, false); }
    // A needle as a script writes it: now and then with a line break.
    std::string scriptNeedle() { return pick(0, 7) == 0 ? "\\n" + needle() : needle(); }
    std::string command() {
        const std::string n = std::to_string(pick(-1, 3)), f = std::to_string(pick(0, 1));
        switch (pick(0, 10)) {
            case 0: return "search(\"" + scriptNeedle() + "\"," + f + ")";
            case 1: return "repl(\"" + scriptNeedle() + "\",\"" + scriptNeedle() + "\"," + n + "," + f + "," + std::to_string(pick(0, 1)) + ")";
            case 2: return "del(\"" + scriptNeedle() + "\"," + n + "," + f + ")";
            case 3: return "deline(\"" + scriptNeedle() + "\"," + n + "," + f + ")";
            case 4: return "delinepart(\"" + scriptNeedle() + "\",\"" + scriptNeedle() + "\"," + std::to_string(pick(0, 1)) + ",0," + n + ")";
            case 5: return "delinechar(" + std::to_string(pick(0, 2)) + "," + std::to_string(pick(0, 2)) + "," + n + ")";
            case 6: return "pos(" + std::to_string(pick(-5, 8)) + ")";
            case 7: return "line(" + std::to_string(pick(0, 4)) + "," + std::to_string(pick(-2, 3)) + ")";
            case 8: return "write(\"" + scriptNeedle() + "\")";
            case 9: return "deline(\"\")";
            default: return "ansitooem()";
        }
    }
};

TEST(DocumentEncoding, RandomScriptsGiveTheSameTextIn1252AndInUtf8) {
    RandomRuns r{std::mt19937(2027)};
    const std::string bom(kUtf8Bom);
    for (int round = 0; round < 1500; ++round) {
        std::string text = r.text();
        if (detectEncoding(text) != TextEncoding::Ansi) continue;  // 1252 bytes that happen to read as UTF-8
        std::vector<std::string> script;
        for (int i = r.pick(1, 6); i > 0; --i) script.push_back(r.command());
        // ansitooem changes a 1252 document only and leaves a UTF-8 one as it
        // is: the 1252 run to compare with goes without it.
        std::vector<std::string> ansiScript = script;
        std::erase(ansiScript, "ansitooem()");
        DocumentRig ansi(TextEncoding::Ansi);
        const std::string expected = ansi.run(text, ansiScript);
        for (const std::string& mark : {std::string(), bom}) {
            DocumentRig u(TextEncoding::Utf8);
            const std::string got = u.run(mark + utf8(text), script);
            std::string trace;
            for (const auto& c : script) trace += utf8(c) + " ";
            ASSERT_EQ(u.rig.engine.document.posTreball, ansi.rig.engine.document.posTreball) << trace;
            ASSERT_EQ(u.rig.host.messages.size(), ansi.rig.host.messages.size()) << trace;
            ASSERT_EQ(got, expected.empty() ? "" : mark + utf8(expected)) << trace << "\n" << utf8(text);
        }
    }
}

// Each conversion between characters and bytes counts from the one before
// it: in any order, forwards and back, past the end, over stray bytes and
// after the text changed, it gives what counting from the start gives.
TEST(DocumentEncoding, PositionsCountedFromTheLastConversionAreExact) {
    std::mt19937 random(31);
    const auto pick = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const char* pieces[] = {"a", "\r\n", "\xC3\xA9", "\xE2\x86\x92", "\xF0\x9F\x98\x80", "\x80", "\xC3"};
    TextDocument doc;
    doc.encoding = TextEncoding::Utf8;
    const auto makeText = [&] {
        std::string text;
        for (int i = pick(0, 40); i > 0; --i) text += pieces[pick(0, 6)];
        return text;
    };
    doc.setText(makeText());
    for (int step = 0; step < 20000; ++step) {
        if (pick(0, 300) == 0) doc.setText(makeText());
        if (pick(0, 30) == 0) doc.changeText([&](std::string& text) { text.insert(pick(0, int(text.size())), pieces[pick(0, 6)]); });
        TextDocument fresh;
        fresh.encoding = TextEncoding::Utf8;
        fresh.setText(doc.textTreball());
        const int size = int(doc.textTreball().size());
        if (pick(0, 1)) {
            const std::int32_t at = pick(-1, size + 4);
            ASSERT_EQ(doc.bytePosition(at), fresh.bytePosition(at)) << step << " char " << at;
        } else {
            const double at = pick(-1, size + 4);
            ASSERT_EQ(doc.characterPosition(at), fresh.characterPosition(at)) << step << " byte " << at;
        }
    }
}

// The piece table counts characters: the same text in both encodings is
// cut at the same characters, and the line-wise algorithms agree on it.
TEST(DocumentEncoding, PiecesAreCutAtTheSameCharacters) {
    RandomRuns r{std::mt19937(77)};
    for (int round = 0; round < 400; ++round) {
        const std::string text = r.text() + r.text();
        const std::string u = utf8(text);
        const std::size_t limit = static_cast<std::size_t>(r.pick(2, 12));
        PieceTable a, b;
        const CutResult ra = cutIntoPieces(text, a, limit), rb = cutIntoPieces(u, b, limit, true);
        ASSERT_EQ(ra, rb) << limit;
        if (ra != CutResult::Ok) continue;
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            ASSERT_EQ(utf8(text.substr(a[i].first, a[i].second - a[i].first)), u.substr(b[i].first, b[i].second - b[i].first));
        }
        const std::string find = r.needle(), start = r.needle(), end = r.needle();
        if (!find.empty()) {
            ASSERT_EQ(utf8(deleteLinesHolding(text, a, find, -1, true).text),
                      deleteLinesHolding(u, b, utf8(find), -1, true, true).text);
        }
        ASSERT_EQ(utf8(removeLineParts(text, a, start, end, 0, 0, -1)),
                  removeLineParts(u, b, utf8(start), utf8(end), 0, 0, -1, true));
    }
}

}  // namespace
}  // namespace torvic
