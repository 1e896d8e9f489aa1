// Documents in the forms people have them: lines ended by LF alone, UTF-16
// with its mark. The commands see the same text in every form, write it
// back in the form it came in, and an unchanged document byte for byte.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "script/working_text.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using test::Rig;

// A rig whose files live in memory, on a system whose plain text is UTF-8.
struct FilesRig {
    std::map<std::string, std::string> files;
    Rig rig;
    explicit FilesRig(LineBreak plainBreak = LineBreak::CrLf) {
        rig.platform.memoryFiles = &files;
        rig.platform.plainText = TextEncoding::Utf8;
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
    const std::string text = "Pla\xC3\xA7" "a \xE2\x86\x92 \xF0\x9F\x98\x80";  // Plaça → and an emoji
    // The file, what it is read as, and what the working text holds.
    struct Case { std::string file; TextEncoding encoding; LineBreak lineBreak; std::string held; } cases[] = {
        {"a\nb\n", Utf8, Lf, "a\r\nb\r\n"},
        {"a\n\n\nb", Utf8, Lf, "a\r\n\r\n\r\nb"},  // no break after the last line
        {text + "\n", Utf8, Lf, text + "\r\n"},
        {"caf\xE9\nb", Ansi, Lf, "caf\xE9\r\nb"},
        {std::string(kUtf8Bom) + "a\nb", Utf8Bom, Lf, "a\r\nb"},
        {"a\rb\nc", Utf8, Lf, "a\rb\r\nc"},         // a lone CR is a character of its line
        {"a\r\nb\nc", Utf8, CrLf, "a\r\nb\nc"},     // one CR LF: a lone LF is a character
        {le(text + "\r\nb\r\n"), Utf16Le, CrLf, text + "\r\nb\r\n"},
        {le(text + "\nb\n"), Utf16Le, Lf, text + "\r\nb\r\n"},
        {le(text + "\nb"), Utf16Le, Lf, text + "\r\nb"},
        {be(text + "\r\nb"), Utf16Be, CrLf, text + "\r\nb"},
        {be("\n" + text + "\n"), Utf16Be, Lf, "\r\n" + text + "\r\n"},
        {le("x"), Utf16Le, CrLf, "x"},              // no line break: the system's (here CR LF)
        // A mark without UTF-16 after it is read as bytes, as any file is.
        {std::string("\xFF\xFE" "A", 3), Ansi, CrLf, std::string("\xFF\xFE" "A", 3)},
        {std::string("\xFF\xFE\x00\xDCx\n", 6), Ansi, Lf, std::string("\xFF\xFE\x00\xDCx\r\n", 7)},
    };
    for (const Case& c : cases) {
        FilesRig d;
        EXPECT_EQ(d.run(c.file, {}), c.file);
        EXPECT_EQ(d.document().encoding, c.encoding) << c.held;
        EXPECT_EQ(d.document().lineBreak, c.lineBreak) << c.held;
        EXPECT_EQ(d.document().textTreball(), c.held);
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
    const std::string lamps = "Llums\nART10 blanc\nART11 groc\nART12 verd\n";
    struct Case { std::string document; std::vector<std::string> script; std::string saved; } cases[] = {
        {catalogue, {"deline(\"Orxata\")"}, "Cat\xC3\xA0leg\nCaf\xC3\xA8 2\n"},
        {catalogue, {"delinechar(2,0,0)"}, "t\xC3\xA0leg\nxata 1\nf\xC3\xA8 2\nxata gran 3\n"},
        {catalogue, {"line(3,0)", "write(\"X\")"}, "Cat\xC3\xA0leg\nOrxata 1\nCaf\xC3\xA8 2\nXOrxata gran 3\n"},
        {catalogue, {"line(2,0)", "deline(\"\")"}, "Cat\xC3\xA0leg\nOrxata 1\nOrxata gran 3\n"},
        {catalogue, {"repl(\" 2\",\"\\n2\")"}, "Cat\xC3\xA0leg\nOrxata 1\nCaf\xC3\xA8\n2\nOrxata gran 3\n"},
        {catalogue, {"repl(\"gran\",\"-\",0,0,1)"}, "Cat\xC3\xA0leg\nOrxata 1\nCaf\xC3\xA8 2\n-\n"},
        {catalogue, {"repl(\"1\",\"\",0,0,1)"}, "Cat\xC3\xA0leg\nCaf\xC3\xA8 2\nOrxata gran 3\n"},
        {catalogue, {"delinepart(\"x\",\"a\")"}, "Cat\xC3\xA0leg\nOrta 1\nCaf\xC3\xA8 2\nOrta gran 3\n"},
        {lamps, {"line(2,0)", "search(\"g\")", "pos(-1)", "write(\"<\")"}, "Llums\nART10 blanc\nART11 <groc\nART12 verd\n"},
        {le("Orxata\r\nCaf\xC3\xA8\r\n"), {L1252("repl(\"Cafè\",\"Te\")")}, le("Orxata\r\nTe\r\n")},
        {be("Orxata\nCaf\xC3\xA8\n"), {"deline(\"Orxata\")"}, be("Caf\xC3\xA8\n")},
    };
    for (const Case& c : cases) {
        FilesRig d;
        EXPECT_EQ(d.run(c.document, {c.script.begin(), c.script.end()}), c.saved) << c.script[0];
        EXPECT_TRUE(d.rig.host.messages.empty()) << c.script[0];
    }
    // ref finds the entries of an LF catalogue and writes them with LF.
    FilesRig d;
    d.run(lamps, {"def(ART)", "ref(\"llums.txt\",\"10,12\")"});
    EXPECT_EQ(d.file("llums.txt"), "ART10 blanc\nART12 verd\n");
    FilesRig u;
    u.run(le(lamps), {"def(ART)", "ref(\"llums.txt\",\"11_12;\")"});
    EXPECT_EQ(u.file("llums.txt"), le("ART11 groc\nART12 verd\n\n"));
}

// A document with no line break yet takes the system's, which what a
// script adds is written with.
TEST(DocumentForms, ADocumentWithoutLineBreaksTakesTheSystems) {
    for (LineBreak system : {LineBreak::CrLf, LineBreak::Lf}) {
        FilesRig d(system);
        const std::string saved = d.run("a b", {"repl(\" \",\"\\n\")"});
        EXPECT_EQ(saved, system == LineBreak::Lf ? "a\nb" : "a\r\nb");
        EXPECT_EQ(d.run(le("a b"), {"repl(\" \",\"\\n\")"}), le(saved));
    }
}

// Random texts run through random scripts of text commands, as a CR LF
// document and as the same text with LF, each in UTF-8 and in UTF-16 LE and
// BE with their marks: every run gives the same text (in the form of its
// file), the same extracted entries, cursor and messages.
struct RandomDocuments {
    std::mt19937 rng;
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    std::string of(const std::vector<std::string>& alphabet, int most) {
        std::string t;
        for (int n = pick(0, most); n > 0; --n) t += alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
        return t;
    }
    const std::vector<std::string> letters{"a", "b", "A", "<", ">", "#", " ", "1", "\xC3\xA9", "\xC3\x89",
                                           "\xE2\x86\x92", "\xF0\x9F\x98\x80", "\r"};
    // Lines of random lengths, some empty, some starting with a key "A1".."A4".
    // They hold no LF, and a CR only inside a line: one just before its line
    // break would make a CR LF of the LF form.
    std::vector<std::string> lines() {
        std::vector<std::string> out;
        for (int n = pick(0, 8); n > 0; --n) {
            std::string line = (pick(0, 2) == 0 ? "A" + std::to_string(pick(1, 4)) : "") + of(letters, 12);
            if (line.ends_with('\r')) line += "b";
            out.push_back(line);
        }
        return out;
    }
    std::string joined(const std::vector<std::string>& ls, const std::string& lineBreak, bool last) {
        std::string t;
        for (std::size_t i = 0; i < ls.size(); ++i) t += ls[i] + (i + 1 < ls.size() || last ? lineBreak : "");
        return t;
    }
    // What a script writes: characters of 1252 (é, É, €), now and then a line break.
    std::string needle() {
        std::string n = of({"a", "b", "A", "<", ">", "#", "1", "\xC3\xA9", "\xC3\x89", "\xE2\x82\xAC"}, 2);
        return pick(0, 6) == 0 ? "\\n" + n : n;
    }
    std::string command() {
        const std::string n = std::to_string(pick(-1, 3)), f = std::to_string(pick(0, 1));
        switch (pick(0, 11)) {
            case 0: return "search(\"" + needle() + "\"," + f + ")";
            case 1: return "repl(\"" + needle() + "\",\"" + needle() + "\"," + n + "," + f + "," + std::to_string(pick(0, 1)) + ")";
            case 2: return "del(\"" + needle() + "\"," + n + "," + f + ")";
            case 3: return "deline(\"" + needle() + "\"," + n + "," + f + ")";
            case 4: return "delinepart(\"" + needle() + "\",\"" + needle() + "\"," + std::to_string(pick(0, 1)) + "," +
                           std::to_string(pick(0, 1)) + "," + n + ")";
            case 5: return "delinechar(" + std::to_string(pick(0, 2)) + "," + std::to_string(pick(0, 2)) + "," + n + ")";
            case 6: return "pos(" + std::to_string(pick(-5, 8)) + ")";
            case 7: return "line(" + std::to_string(pick(0, 6)) + "," + std::to_string(pick(-2, 3)) + ")";
            case 8: return "write(\"" + of({"x", "\xC3\xA9", "\xE2\x82\xAC"}, 2) + "\")";
            case 9: return "deline(\"\")";
            case 10: return "def(" + std::string(pick(0, 1) ? "A" : "") + ")";
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
};

TEST(DocumentForms, RandomScriptsGiveTheSameTextInEveryForm) {
    RandomDocuments r{std::mt19937(37)};
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
        const std::string crlf = r.joined(lines, "\r\n", last), lf = r.joined(lines, "\n", last);
        // Without any line break the forms are one: each is read with the system's.
        const bool hasBreak = lf.find('\n') != std::string::npos;
        std::vector<std::string> script;
        for (int i = r.pick(1, 6); i > 0; --i) script.push_back(cp1252::fromUtf8(r.command()));
        std::string trace;
        for (const std::string& c : script) trace += cp1252::toUtf8(c) + "  ";

        FilesRig reference;
        const std::string saved = reference.run(crlf, script);
        const std::string extracted = reference.file("r.txt");
        for (const Form& form : forms) {
            FilesRig d;
            const std::string file = inForm(form, form.lf ? lf : crlf, false);
            const std::string got = d.run(file, script);
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

}  // namespace
}  // namespace torvic
