// Documents in the forms and encodings people have them: 1252, UTF-8 with
// or without its mark, UTF-16 with its mark, lines ended by LF alone. The
// commands see the same text in every form, characters 1252 lacks are kept
// whole, and a document is written back in the form it came in (an
// unchanged one byte for byte).
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

// A rig whose files live in memory, on a system whose plain text is given.
struct FilesRig {
    std::map<std::string, std::string> files;
    Rig rig;
    explicit FilesRig(TextEncoding plainText = TextEncoding::Utf8, LineBreak plainBreak = LineBreak::CrLf) {
        rig.platform.memoryFiles = &files;
        rig.platform.plainText = plainText;
        rig.platform.plainBreak = plainBreak;
    }
    // Opens `document` as d.txt, runs the commands and saves to o.txt:
    // what o.txt then holds ("" when nothing was saved).
    std::string run(const std::string& document, const std::vector<std::string>& commands) {
        files["d.txt"] = document;
        std::vector<std::string> script{"open(\"d.txt\")"};
        script.insert(script.end(), commands.begin(), commands.end());
        script.push_back("save(\"o.txt\")");
        rig.run(script);
        return file("o.txt");
    }
    std::string file(const std::string& name) const {
        const auto it = files.find(name);
        return it == files.end() ? "" : it->second;
    }
    const TextDocument& document() const { return rig.engine.document; }
};

std::string le(std::string_view utf8) { return std::string(kUtf16LeBom) + utf8ToUtf16(utf8, false); }
std::string be(std::string_view utf8) { return std::string(kUtf16BeBom) + utf8ToUtf16(utf8, true); }
std::string utf8(std::string_view text1252) { return cp1252::toUtf8(text1252); }

TEST(DocumentForms, LineBreaksAndUtf16ConvertExactly) {
    using enum LineBreak;
    const std::pair<std::string, std::optional<LineBreak>> kinds[] = {
        {"", std::nullopt}, {"abc", std::nullopt}, {"a\rb\r", std::nullopt}, {"a\nb", Lf},
        {"\n", Lf}, {"a\rb\n", Lf}, {"a\nb\r\n", CrLf}, {"\r\n", CrLf},
    };
    for (const auto& [text, kind] : kinds) EXPECT_EQ(lineBreakOf(text), kind) << text;

    // A text without CR LF, and the same with CR LF: each converts to the other.
    const std::pair<std::string, std::string> lines[] = {
        {"", ""}, {"a", "a"}, {"a\nb", "a\r\nb"}, {"\n\nx\n", "\r\n\r\nx\r\n"}, {"a\rb\n\r", "a\rb\r\n\r"},
    };
    for (const auto& [lf, crlf] : lines) {
        std::string grown = lf;
        lineFeedsToCrLf(grown);
        EXPECT_EQ(grown, crlf);
        EXPECT_EQ(crLfToLineFeeds(crlf), lf);
    }
    // Long texts are converted in blocks, from their end: lines of every
    // length around a block's size, a block of line breaks alone.
    for (std::size_t length : {0, 1, 65535, 65536, 65537, 200000}) {
        std::string lf, crlf;
        for (int i = 0; i < 5; ++i) {
            lf += std::string(length + static_cast<std::size_t>(i), static_cast<char>('a' + i)) + "\n";
            crlf += std::string(length + static_cast<std::size_t>(i), static_cast<char>('a' + i)) + "\r\n";
        }
        lf += std::string(70000, '\n') + "z";
        for (int i = 0; i < 70000; ++i) crlf += "\r\n";
        crlf += "z";
        std::string grown = lf;
        lineFeedsToCrLf(grown);
        EXPECT_TRUE(grown == crlf) << length;
        EXPECT_TRUE(crLfToLineFeeds(crlf) == lf) << length;
    }

    // UTF-8 and its UTF-16 little-endian units.
    const std::pair<std::string, std::string> units[] = {
        {"A", std::string("A\0", 2)},
        {std::string("\0", 1), std::string("\0\0", 2)},
        {"\xC3\xA9", std::string("\xE9\0", 2)},                  // é
        {"\xE2\x82\xAC", "\xAC\x20"},                            // €
        {"\xEF\xBF\xBF", "\xFF\xFF"},                            // U+FFFF
        {"\xF0\x9F\x98\x80", std::string("\x3D\xD8\x00\xDE", 4)},  // an emoji: a surrogate pair
        {"\xF4\x8F\xBF\xBF", "\xFF\xDB\xFF\xDF"},                // U+10FFFF
    };
    for (const auto& [utf8, units16] : units) {
        std::string swapped = units16;
        for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
        EXPECT_EQ(utf8ToUtf16(utf8, false), units16);
        EXPECT_EQ(utf8ToUtf16(utf8, true), swapped);
        EXPECT_EQ(utf16ToUtf8(units16, false), utf8);
        EXPECT_EQ(utf16ToUtf8(swapped, true), utf8);
    }
    // Not UTF-16: an odd byte, a surrogate alone or in the wrong order.
    for (const std::string& bad : {std::string("A\0B", 3), std::string("\x3D\xD8", 2), std::string("\x3D\xD8" "A\0", 4),
                                  std::string("\x00\xDE", 2), std::string("\x00\xDE\x3D\xD8", 4)})
        EXPECT_EQ(utf16ToUtf8(bad, false), std::nullopt);
    // A stray byte of a UTF-8 text stands for its 1252 character.
    EXPECT_EQ(utf8ToUtf16("\x80", false), "\xAC\x20");
}

TEST(DocumentForms, UnchangedDocumentsAreSavedByteForByte) {
    using enum TextEncoding;
    using enum LineBreak;
    const std::string text = "Pla\xC3\xA7" "a \xE2\x86\x92 \xF0\x9F\x98\x80", bom(kUtf8Bom);  // Plaça → and an emoji
    const std::string placa = utf8(L1252("Plaça\r\nÀ"));
    // The file, what it is read as (plain text is UTF-8), and what the working text holds ("": the file).
    struct Case { std::string file; TextEncoding encoding; LineBreak lineBreak; std::string held = ""; } cases[] = {
        {L1252("Plaça\r\nÀ"), Ansi, CrLf},
        {placa, Utf8, CrLf},
        {bom + placa + "\r\n", Utf8Bom, CrLf, placa + "\r\n"},
        {bom + "ascii", Utf8Bom, CrLf, "ascii"},
        {"caf\xC3", Ansi, CrLf},                          // cut short: not UTF-8
        {"\xA0\x81\x8D\x8F\x90\x9D", Ansi, CrLf},          // the unassigned bytes
        {"\xC3\xA0\xC0\x80", Ansi, CrLf},                  // an overlong form
        {"a\nb\n", Utf8, Lf, "a\r\nb\r\n"},                // plain ASCII: the system's
        {"a\n\n\nb", Utf8, Lf, "a\r\n\r\n\r\nb"},          // no break after the last line
        {text + "\n", Utf8, Lf, text + "\r\n"},
        {"caf\xE9\nb", Ansi, Lf, "caf\xE9\r\nb"},
        {bom + "a\nb", Utf8Bom, Lf, "a\r\nb"},
        {"a\rb\nc", Utf8, Lf, "a\rb\r\nc"},                // a lone CR is a character of its line
        {"a\r\nb\nc", Utf8, CrLf},                         // one CR LF: a lone LF is a character
        {le(text + "\r\nb\r\n"), Utf16Le, CrLf, text + "\r\nb\r\n"},
        {le(text + "\nb\n"), Utf16Le, Lf, text + "\r\nb\r\n"},
        {le(text + "\nb"), Utf16Le, Lf, text + "\r\nb"},
        {be(text + "\r\nb"), Utf16Be, CrLf, text + "\r\nb"},
        {be("\n" + text + "\n"), Utf16Be, Lf, "\r\n" + text + "\r\n"},
        {le("x"), Utf16Le, CrLf, "x"},                     // no line break: the system's (here CR LF)
        // A mark without UTF-16 after it is read as bytes, as any file is.
        {std::string("\xFF\xFE" "A", 3), Ansi, CrLf},
        {std::string("\xFF\xFE\x00\xDCx\n", 6), Ansi, Lf, std::string("\xFF\xFE\x00\xDCx\r\n", 7)},
    };
    for (const Case& c : cases) {
        FilesRig d;
        EXPECT_EQ(d.run(c.file, {}), c.file);
        EXPECT_EQ(d.document().encoding, c.encoding) << c.file;
        EXPECT_EQ(d.document().lineBreak, c.lineBreak) << c.file;
        EXPECT_EQ(d.document().textTreball(), c.held.empty() ? c.file : c.held);
    }
}

// A large text is written a block at a time: a line break or a character
// that straddles a block's end is written whole.
TEST(DocumentForms, LargeTextsAreWrittenWhole) {
    const std::string tail = "\r\n\xC3\xA9\xE2\x86\x92\xF0\x9F\x98\x80\r\nend";
    for (std::size_t before = 262136; before <= 262148; ++before) {
        const std::string text = std::string(before, 'a') + tail + std::string(300000, 'b') + tail;
        for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
            TextDocument doc;
            doc.encoding = encoding;
            doc.lineBreak = LineBreak::Lf;
            const std::string lines = crLfToLineFeeds(text);
            const std::string want = encoding == TextEncoding::Utf8      ? lines
                                     : encoding == TextEncoding::Utf16Le ? le(lines)
                                                                         : be(lines);
            ASSERT_TRUE(doc.fileBytes(text) == want) << before;
        }
    }
}

// What a new user on Linux meets: a catalogue written with LF line ends, and
// a document PowerShell wrote (UTF-16 with its mark).
TEST(DocumentForms, TheCommandsSeeTheLinesOfAnLfDocument) {
    const std::string catalogue = "Cat\xC3\xA0leg\nOrxata 1\nCaf\xC3\xA8 2\nOrxata gran 3\n";
    struct Case { std::string document; std::vector<std::string> script; std::string saved; } cases[] = {
        {catalogue, {"deline(\"Orxata\")"}, "Cat\xC3\xA0leg\nCaf\xC3\xA8 2\n"},
        {catalogue, {"delinechar(2,0,0)"}, "t\xC3\xA0leg\nxata 1\nf\xC3\xA8 2\nxata gran 3\n"},
        {catalogue, {"line(3,0)", "write(\"X\")"}, "Cat\xC3\xA0leg\nOrxata 1\nCaf\xC3\xA8 2\nXOrxata gran 3\n"},
        {catalogue, {"line(2,0)", "deline(\"\")"}, "Cat\xC3\xA0leg\nOrxata 1\nOrxata gran 3\n"},
        {catalogue, {"repl(\" 2\",\"\\n2\")"}, "Cat\xC3\xA0leg\nOrxata 1\nCaf\xC3\xA8\n2\nOrxata gran 3\n"},
        {catalogue, {"repl(\"gran\",\"-\",0,0,1)"}, "Cat\xC3\xA0leg\nOrxata 1\nCaf\xC3\xA8 2\n-\n"},
        {catalogue, {"repl(\"1\",\"\",0,0,1)"}, "Cat\xC3\xA0leg\nCaf\xC3\xA8 2\nOrxata gran 3\n"},
        {catalogue, {"delinepart(\"x\",\"a\")"}, "Cat\xC3\xA0leg\nOrta 1\nCaf\xC3\xA8 2\nOrta gran 3\n"},
        {"Llums\nART10 blanc\nART11 groc\nART12 verd\n", {"line(2,0)", "search(\"g\")", "pos(-1)", "write(\"<\")"},
         "Llums\nART10 blanc\nART11 <groc\nART12 verd\n"},
        {le("Orxata\r\nCaf\xC3\xA8\r\n"), {L1252("repl(\"Cafè\",\"Te\")")}, le("Orxata\r\nTe\r\n")},
        {be("Orxata\nCaf\xC3\xA8\n"), {"deline(\"Orxata\")"}, be("Caf\xC3\xA8\n")},
    };
    for (const Case& c : cases) {
        FilesRig d;
        EXPECT_EQ(d.run(c.document, {c.script.begin(), c.script.end()}), c.saved) << c.script[0];
        EXPECT_TRUE(d.rig.host.messages.empty()) << c.script[0];
    }
}

// ref writes the entries it finds in the document's encoding and line
// breaks, and names an entry it cannot find.
TEST(DocumentForms, RefWritesInTheDocumentsForm) {
    const std::string lamps = "Llums\nART10 blanc\nART11 groc\nART12 verd\n";
    const std::string catalogue = std::string(kUtf8Bom) + utf8(L1252("Catàleg\r\nA1 Plaça\r\nA2 Església\r\nA3 →\r\n"));
    struct Case { std::string document, def, selection, written, missing; } cases[] = {
        {lamps, "ART", "10,12", "ART10 blanc\nART12 verd\n", ""},
        {le(lamps), "ART", "11_12;", le("ART11 groc\nART12 verd\n\n"), ""},
        {catalogue, "A", "1_2,9", std::string(kUtf8Bom) + utf8(L1252("A1 Plaça\r\nA2 Església\r\n")), "A9"},
    };
    for (const Case& c : cases) {
        FilesRig d;
        d.run(c.document, {"def(" + c.def + ")", "ref(\"r.txt\",\"" + c.selection + "\")"});
        EXPECT_EQ(d.file("r.txt"), c.written) << c.selection;
        ASSERT_EQ(d.rig.host.messages.size(), c.missing.empty() ? 0u : 1u) << c.selection;
        if (!c.missing.empty()) {
            EXPECT_NE(d.rig.host.messages[0].text.find(c.missing), std::string::npos);
        }
    }
}

// A document with no line break yet takes the system's, which what a
// script adds is written with.
TEST(DocumentForms, ADocumentWithoutLineBreaksTakesTheSystems) {
    for (LineBreak system : {LineBreak::CrLf, LineBreak::Lf}) {
        FilesRig d(TextEncoding::Utf8, system);
        const std::string saved = d.run("a b", {"repl(\" \",\"\\n\")"});
        EXPECT_EQ(saved, system == LineBreak::Lf ? "a\nb" : "a\r\nb");
        EXPECT_EQ(d.run(le("a b"), {"repl(\" \",\"\\n\")"}), le(saved));
    }
}

TEST(DocumentEncoding, AsciiDocumentsTakeTheSystemsEncodingForWhatAScriptWrites) {
    const std::string written = L1252("àSuma €: 12\r\n"), script[] = {L1252("repl(\"Total\",\"Suma €\")"), L1252("write(\"à\")")};
    EXPECT_EQ(FilesRig(TextEncoding::Ansi).run("Total: 12\r\n", {script[0], script[1]}), written);
    EXPECT_EQ(FilesRig().run("Total: 12\r\n", {script[0], script[1]}), utf8(written));
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
        FilesRig d;
        d.rig.engine.document.posTreball = 1;
        EXPECT_EQ(d.run(doc, c.script), c.expected) << c.script[0];
        EXPECT_TRUE(isValidUtf8(d.file("o.txt")));
    }
}

// Random texts and random scripts of the text commands (in UTF-8, as typed).
struct RandomScripts {
    std::mt19937 rng;
    bool files = false;  // def and ref among the commands; otherwise ansitooem
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    std::string of(const std::vector<std::string>& alphabet, int most) {
        std::string t;
        for (int n = pick(0, most); n > 0; --n) t += alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
        return t;
    }
    // A text of 1252's characters and its line breaks, at least one character beyond ASCII.
    std::string text1252() {
        return L1252(of({"a", "b", "A", "B", "<", ">", "#", "é", "É", "à", "À", "ç", "Ç", "ÿ", "Ÿ", "š", "Š", "€", "·",
                         "\xC2\x81", "\xC2\xA0", " ", "\r\n", "\r\n", "\r\n", "\r\n"}, 60) + "é");
    }
    // Lines of random lengths, some empty, some starting with a key "A1".."A4".
    // They hold no LF, and a CR only inside a line: one just before its line
    // break would make a CR LF of the LF form.
    std::vector<std::string> lines() {
        std::vector<std::string> out;
        for (int n = pick(0, 8); n > 0; --n) {
            std::string line = (pick(0, 2) == 0 ? "A" + std::to_string(pick(1, 4)) : "") +
                               of({"a", "b", "A", "<", ">", "#", " ", "1", "é", "É", "→", "\xF0\x9F\x98\x80", "\r"}, 12);
            if (line.ends_with('\r')) line += "b";
            out.push_back(line);
        }
        return out;
    }
    // What a script searches for and writes: 1252's characters, now and then a line break.
    std::string needle() {
        const std::string n = of({"a", "b", "A", "B", "<", ">", "#", "1", "é", "É", "à", "ÿ", "Ÿ", "š", "€", "\xC2\x81"}, 2);
        return pick(0, 6) == 0 ? "\\n" + n : n;
    }
    std::string command() {
        const std::string n = std::to_string(pick(-1, 3)), f = std::to_string(pick(0, 1)), b = std::to_string(pick(0, 1));
        switch (pick(0, files ? 11 : 10)) {
            case 0: return "search(\"" + needle() + "\"," + f + ")";
            case 1: return "repl(\"" + needle() + "\",\"" + needle() + "\"," + n + "," + f + "," + b + ")";
            case 2: return "del(\"" + needle() + "\"," + n + "," + f + ")";
            case 3: return "deline(\"" + needle() + "\"," + n + "," + f + ")";
            case 4:  // an empty end delimiter matches everywhere: skipping it steps by characters
                return "delinepart(\"" + needle() + "\",\"" + (pick(0, 3) ? needle() : "") + "\"," + f + "," + b + "," + n + ")";
            case 5: return "delinechar(" + std::to_string(pick(0, 2)) + "," + std::to_string(pick(0, 2)) + "," + n + ")";
            case 6: return "pos(" + std::to_string(pick(-5, 8)) + ")";
            case 7: return "line(" + std::to_string(pick(0, 6)) + "," + std::to_string(pick(-2, 3)) + ")";
            case 8: return "write(\"" + needle() + "\")";
            case 9: return "deline(\"\")";
            case 10: return files ? "def(" + std::string(pick(0, 1) ? "A" : "") + ")" : "ansitooem()";
            default: {
                std::string selection;
                for (int i = pick(0, 3); i > 0; --i)
                    selection += std::to_string(pick(1, 4)) + (pick(0, 2) == 0 ? "_" + std::to_string(pick(1, 4)) : "") +
                                 (pick(0, 4) == 0 ? ";" : "") + ",";
                if (pick(0, 2) == 0) selection += "<" + std::to_string(pick(1, 4)) + ">";
                return "ref(\"r.txt\",\"" + selection + "\")";
            }
        }
    }
    // A script of one to six commands in 1252, and how a failure names it.
    std::vector<std::string> script(std::string& trace) {
        std::vector<std::string> out;
        for (int i = pick(1, 6); i > 0; --i) out.push_back(L1252(command()));
        for (const std::string& c : out) trace += utf8(c) + "  ";
        return out;
    }
};

// A CR LF UTF-8 document against the same text with LF, and each in UTF-16
// LE and BE with their marks: every run gives the same text (in the form of
// its file), the same extracted entries, cursor and messages.
TEST(DocumentForms, RandomScriptsGiveTheSameTextInEveryForm) {
    RandomScripts r{std::mt19937(37), true};
    struct Form { bool lf; int utf16; const char* name; };  // utf16: 0 none, 1 LE, 2 BE
    const Form forms[] = {{true, 0, "LF"}, {false, 1, "UTF-16 LE"}, {true, 1, "UTF-16 LE, LF"},
                          {false, 2, "UTF-16 BE"}, {true, 2, "UTF-16 BE, LF"}};
    // A text of the CR LF UTF-8 run as the file of a form holds it.
    const auto inForm = [](const Form& form, std::string text, bool lineFeeds) {
        if (form.lf && lineFeeds) text = crLfToLineFeeds(text);
        return form.utf16 == 0 ? text : form.utf16 == 1 ? le(text) : be(text);
    };
    for (int round = 0; round < 1200; ++round) {
        const std::vector<std::string> lines = r.lines();
        const bool last = r.pick(0, 1) == 1;
        std::string crlf, lf;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            crlf += lines[i] + (i + 1 < lines.size() || last ? "\r\n" : "");
            lf += lines[i] + (i + 1 < lines.size() || last ? "\n" : "");
        }
        // Without any line break the forms are one: each is read with the system's.
        const bool hasBreak = lf.find('\n') != std::string::npos;
        std::string trace;
        const std::vector<std::string> script = r.script(trace);
        FilesRig reference;
        const std::string saved = reference.run(crlf, script);
        const std::string extracted = reference.file("r.txt");
        for (const Form& form : forms) {
            FilesRig d;
            const std::string got = d.run(inForm(form, form.lf ? lf : crlf, false), script);
            ASSERT_EQ(got, saved.empty() ? "" : inForm(form, saved, hasBreak)) << form.name << ": " << trace;
            ASSERT_EQ(d.files.count("r.txt"), reference.files.count("r.txt")) << form.name << ": " << trace;
            if (d.files.count("r.txt")) {
                ASSERT_EQ(d.file("r.txt"), inForm(form, extracted, hasBreak)) << form.name << ": " << trace;
            }
            ASSERT_EQ(d.document().posTreball, reference.document().posTreball) << form.name << ": " << trace;
            ASSERT_EQ(d.rig.host.messages.size(), reference.rig.host.messages.size()) << form.name << ": " << trace;
            for (std::size_t i = 0; i < d.rig.host.messages.size(); ++i)
                ASSERT_EQ(d.rig.host.messages[i].text, reference.rig.host.messages[i].text) << form.name << ": " << trace;
        }
    }
}

// The run on a 1252 document and the run on the same text in UTF-8 (with
// and without its mark) give the same text, cursor and messages.
TEST(DocumentEncoding, RandomScriptsGiveTheSameTextIn1252AndInUtf8) {
    RandomScripts r{std::mt19937(2027)};
    for (int round = 0; round < 1500; ++round) {
        const std::string text = r.text1252();
        if (detectEncoding(text) != TextEncoding::Ansi) continue;  // 1252 bytes that happen to read as UTF-8
        std::string trace;
        const std::vector<std::string> script = r.script(trace);
        // ansitooem changes a 1252 document only and leaves a UTF-8 one as it
        // is: the 1252 run to compare with goes without it.
        std::vector<std::string> ansiScript = script;
        std::erase(ansiScript, "ansitooem()");
        FilesRig ansi(TextEncoding::Ansi);
        const std::string expected = ansi.run(text, ansiScript);
        for (const std::string& mark : {std::string(), std::string(kUtf8Bom)}) {
            FilesRig u;
            const std::string got = u.run(mark + utf8(text), script);
            ASSERT_EQ(u.document().posTreball, ansi.document().posTreball) << trace;
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
    RandomScripts r{std::mt19937(77)};
    for (int round = 0; round < 400; ++round) {
        const std::string text = r.text1252() + r.text1252();
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
        const std::string find = L1252(r.needle()), start = L1252(r.needle()), end = L1252(r.needle());
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
