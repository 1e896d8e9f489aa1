// The editor's own text: edits against a plain string, the line index
// against a fresh count, undo and redo back to every state, and the caret's
// moves over multi-byte characters, CR LF and tabs.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "editor/box_colours.h"
#include "editor/script_editing.h"
#include "editor/script_text.h"

namespace torvic {
namespace {

std::vector<std::size_t> startsOf(const std::string& text) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = text.find("\r\n"); i != std::string::npos; i = text.find("\r\n", i + 2)) starts.push_back(i + 2);
    return starts;
}

// The caret's steps from the first position to the last, and back.
void expectSteps(const ScriptText& t, const std::vector<std::size_t>& steps) {
    std::size_t pos = steps[0];
    for (std::size_t i = 1; i < steps.size(); ++i) EXPECT_EQ(pos = t.nextPosition(pos), steps[i]) << i;
    EXPECT_EQ(t.nextPosition(pos), pos);
    for (std::size_t i = steps.size() - 1; i > 0; --i) EXPECT_EQ(pos = t.previousPosition(pos), steps[i - 1]) << i;
    EXPECT_EQ(t.previousPosition(pos), pos);
}

// A shown line's runs as "column+cells:text" and, with `styles`, K keyword,
// ~ wave, ! outside 1252, S selected.
std::string describe(const ShownLine& l, bool styles = true) {
    std::string out;
    for (const ShownRun& r : l.runs) {
        out += std::to_string(r.column) + "+" + std::to_string(r.cells) + ":";
        for (char32_t u : r.text) out += u < 0x80 ? std::string(1, static_cast<char>(u)) : "U" + std::to_string(u);
        if (styles) {
            out += r.style.kind == TextStyle::Keyword ? "K" : "";
            out += r.style.wave ? "~" : "";
            out += r.style.outside1252 ? "!" : "";
            out += r.selected ? "S" : "";
        }
        out += " ";
    }
    return out;
}

void expectIndexed(ScriptText& t, const std::string& expected) {
    ASSERT_EQ(std::string(t.text()), expected);
    const std::vector<std::size_t> starts = startsOf(expected);
    ASSERT_EQ(t.lineCount(), starts.size());
    for (std::size_t l = 0; l < starts.size(); ++l) ASSERT_EQ(t.lineStart(l), starts[l]) << "line " << l;
}

// Random edits (pieces holding lone CR, lone LF, CR LF, tabs and two-byte
// characters, at any byte, splitting pairs too), each checked against a
// plain string; then undo walks back through every state and redo forward.
TEST(ScriptText, RandomEditsKeepTextIndexAndHistory) {
    const char* pieces[] = {"a", "\r", "\n", "\r\n", "\xC3\xA9", "\t", "xy\r\nz", "", "\r\n\r\n"};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        ScriptText t;
        std::string model = "first\r\nsecond\rthird\n\r\nlast";
        t.setText(model);
        std::vector<std::string> states{model};
        std::size_t reported = 0, reportedLast = 0;
        t.onChange = [&](std::size_t line, std::size_t last) {
            reported = line;
            reportedLast = last;
        };
        for (int step = 0; step < 300; ++step) {
            const std::size_t pos = rng() % (model.size() + 1);
            const std::size_t removed = std::min<std::size_t>(rng() % 4, model.size() - pos);
            std::string inserted;
            for (auto k = rng() % 3; k > 0; --k) inserted += pieces[rng() % std::size(pieces)];
            if (removed == 0 && inserted.empty()) continue;
            // The reported first line: no line before it changed.
            const std::vector<std::size_t> before = startsOf(model);
            t.replace(pos, removed, inserted);
            model.replace(pos, removed, inserted);
            // Found across the gap, which stands where the edit was.
            for (const char* needle : {"\r\n", "a\r", "\xC3\xA9\t"})
                ASSERT_EQ(t.find(needle, pos / 2), model.find(needle, pos / 2)) << needle;
            expectIndexed(t, model);
            for (std::size_t l = 0; l <= reported && l + 1 < before.size(); ++l)
                ASSERT_EQ(t.lineStart(l), before[l]) << "seed " << seed << " step " << step;
            // The lines after the last reported are the old ones, moved.
            const std::vector<std::size_t> after = startsOf(model);
            for (std::size_t back = 1; reportedLast + back < after.size(); ++back)
                ASSERT_EQ(model.substr(after[after.size() - back]),
                          states.back().substr(before[before.size() - back]))
                    << "seed " << seed << " step " << step;
            states.push_back(model);
        }
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_TRUE(t.undo());
            expectIndexed(t, states[i - 1]);
        }
        EXPECT_FALSE(t.undo());
        EXPECT_FALSE(t.isModified());
        for (std::size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(t.redo());
            expectIndexed(t, states[i]);
        }
        EXPECT_TRUE(t.isModified());
    }
}

TEST(ScriptText, TypingJoinsOneUndoStepUntilSavedOrMoved) {
    ScriptText t;
    t.setText("ab");
    t.replace(2, 0, "c", true);
    t.replace(3, 0, "d", true);
    t.setModified(false);
    t.replace(4, 0, "e", true);  // not joined across the saved state
    t.replace(0, 0, "X", true);  // elsewhere: a step of its own
    EXPECT_EQ(t.text(), "Xabcde");
    ASSERT_TRUE(t.undo());
    EXPECT_EQ(t.text(), "abcde");
    EXPECT_EQ(t.caret, 0u);
    ASSERT_TRUE(t.undo());
    EXPECT_EQ(t.text(), "abcd");
    EXPECT_FALSE(t.isModified());  // back at the saved state
    ASSERT_TRUE(t.undo());
    EXPECT_EQ(t.text(), "ab");
    EXPECT_TRUE(t.isModified());
    // A new edit after undoing past the saved state: it never comes back.
    t.replace(0, 0, "q");
    ASSERT_TRUE(t.undo());
    EXPECT_TRUE(t.isModified());
}

TEST(ScriptText, CaretMovesByWholeCharacters) {
    ScriptText t;
    // "é" is two bytes, "😀" four, then a CR LF, a lone CR and a lone LF.
    t.setText("a\xC3\xA9\xF0\x9F\x98\x80\r\nb\rc\nd");
    expectSteps(t, {0, 1, 3, 7, 9, 10, 11, 12, 13, 14});
    EXPECT_EQ(t.lineCount(), 2u);  // the lone CR and LF are characters of line 1
    EXPECT_EQ(t.lineText(1), "b\rc\nd");
}

TEST(ScriptText, ColumnsCountCharactersAndTabStops) {
    ScriptText t;
    t.setText("x\r\n\xC3\xA9\tb\t\tc");
    const struct { std::size_t pos, column; } cases[] = {{3, 0}, {5, 1}, {6, 8}, {7, 9}, {8, 16}, {9, 24}, {10, 25}};
    for (const auto& c : cases) {
        EXPECT_EQ(t.columnOf(c.pos), c.column) << c.pos;
        EXPECT_EQ(t.positionAt(1, c.column), c.pos) << c.column;
    }
    EXPECT_EQ(t.positionAt(1, 3), 5u);   // nearer the tab's start
    EXPECT_EQ(t.positionAt(1, 6), 6u);   // nearer its end
    EXPECT_EQ(t.positionAt(1, 99), 10u);  // past the end of the line
    EXPECT_EQ(t.positionAt(0, 5), 1u);
}

TEST(ScriptText, WordsStopAtBlanksPunctuationAndLineBreaks) {
    ScriptText t;
    t.setText("send(\"caf\xC3\xA9 x\",1)\r\n  beep");
    EXPECT_EQ(t.nextWord(0), 4u);   // past "send"
    EXPECT_EQ(t.nextWord(4), 5u);   // "(" alone
    EXPECT_EQ(t.nextWord(6), 12u);  // "café " and its blank
    EXPECT_EQ(t.nextWord(17), 19u);  // the line break is a step
    EXPECT_EQ(t.nextWord(19), 21u);
    EXPECT_EQ(t.previousWord(21), 19u);
    EXPECT_EQ(t.previousWord(19), 17u);
    EXPECT_EQ(t.previousWord(12), 6u);
    EXPECT_EQ(t.wordAt(8), (std::pair<std::size_t, std::size_t>{6, 11}));
    // A line break right at the start, and a lone CR, which is a character.
    t.setText("\r\nx\rb");
    EXPECT_EQ(t.previousWord(2), 0u);
    EXPECT_EQ(t.previousWord(5), 4u);
    EXPECT_EQ(t.previousWord(4), 3u);
    t.setText("send(\"caf\xC3\xA9 x\",1)\r\n  beep");
    EXPECT_EQ(t.wordAt(4), (std::pair<std::size_t, std::size_t>{0, 4}));  // the word before
    EXPECT_EQ(t.wordAt(5), (std::pair<std::size_t, std::size_t>{5, 6}));  // a lone '"'
}

// How a shown line is cut into runs: characters of one style in a row,
// tabs and characters that may be wider each alone, the selection apart,
// lone CR and LF as their marks; only the columns asked for.
TEST(ScriptEditing, ShownLinesAreCutIntoRunsByStyleAndCell) {
    ScriptEditing e;
    e.classify = [](std::string_view line) { return line.starts_with("wait") ? LineKind::Command : LineKind::Unrecognised; };
    e.setText("wait(1)\tx\r\nab\xE2\x86\x92" "c\rd\xE4\xB8\xAD" "e");
    EXPECT_EQ(describe(e.shownLine(0, 0, 80)), "0+4:waitK 4+3:(1) 7+1: 8+1:x ");
    EXPECT_EQ(e.shownLine(0, 0, 80).endColumn, 9u);
    // U+2192 lacks 1252 and stands alone; the lone CR shows as U+240D, alone
    // too (a mark the font may draw wider), and so does the wide U+4E2D.
    EXPECT_EQ(describe(e.shownLine(1, 0, 80)), "0+2:ab~ 2+1:U8594~! 3+1:c~ 4+1:U9229~ 5+1:d~ 6+2:U20013~! 8+1:e~ ");
    EXPECT_EQ(describe(e.shownLine(1, 3, 4)), "3+1:c~ 4+1:U9229~ ");  // only what is in sight
    e.setCaret(e.text().lineStart(1) + 1, 3);                    // from "(1)" to after "a"
    const ShownLine first = e.shownLine(0, 0, 80);
    EXPECT_EQ(describe(first), "0+3:waiK 3+1:tKS 4+3:(1)S 7+1:S 8+1:xS ");
    EXPECT_TRUE(first.breakSelected);
    EXPECT_EQ(describe(e.shownLine(1, 0, 1)), "0+1:a~S 1+1:b~ ");
    e.marked = 1;
    EXPECT_TRUE(e.shownLine(1, 0, 1).running);
    EXPECT_FALSE(e.shownLine(0, 0, 1).running);
    // An encoded script's lines are not its own: no colours, no numbers.
    e.setText("$%& x\r\nwait(1)");
    EXPECT_EQ(describe(e.shownLine(1, 0, 80)), "0+7:wait(1) ");
    EXPECT_EQ(e.lineStyles(1).size(), 1u);
    EXPECT_EQ(e.lineStyles(1)[0].style, TextStyle{});
    EXPECT_EQ(e.runNumber(1), -1);
}

// A combining mark is drawn with the character before it and takes no
// cell; a wide character takes two; the caret steps over a character and
// its marks at once, and columns and clicks agree with the drawing.
TEST(ScriptEditing, CombiningMarksAndWideCharactersTakeTheirCells) {
    ScriptEditing e;
    // "ae" + U+0301 "x", a CJK character, "y", and a mark at the line's start.
    e.setText("ae\xCC\x81x\xE4\xB8\xADy\r\n\xCC\x81z");
    EXPECT_EQ(describe(e.shownLine(0, 0, 80), false), "0+1:a 1+1:eU769 2+1:x 3+2:U20013 5+1:y ");
    const ScriptText& t = e.text();
    const struct { std::size_t pos, column; } columns[] = {{0, 0}, {1, 1}, {4, 2}, {5, 3}, {8, 5}, {9, 6}};
    for (const auto& c : columns) {
        EXPECT_EQ(t.columnOf(c.pos), c.column) << c.pos;
        EXPECT_EQ(t.positionAt(0, c.column), c.pos) << c.column;
    }
    EXPECT_EQ(t.positionAt(0, 4), 8u);  // its middle: after it, as within a tab
    expectSteps(t, {0, 1, 4, 5, 8, 9, 11, 13, 14});
    // Backspace after "e" with its accent takes both.
    e.setCaret(4, 4);
    e.erase(ScriptEditing::Erase::Back);
    EXPECT_EQ(e.text().text(), "ax\xE4\xB8\xADy\r\n\xCC\x81z");
}

// A selection dropped elsewhere: moved (or copied with Ctrl) as one undo
// step and selected where it landed; onto itself nothing happens.
TEST(ScriptEditing, DroppedSelectionMovesOrCopiesAsOneStep) {
    const struct { std::size_t from, to, at; bool copy; const char* after; } cases[] = {  // after: [selected]; "" nothing happens
        {1, 3, 5, false, "ade[bc]f"},
        {3, 5, 0, false, "[de]abcf"},
        {1, 3, 6, false, "adef[bc]"},
        {1, 3, 5, true, "abcde[bc]f"},
        {1, 3, 1, true, "a[bc]bcdef"},  // a copy may go beside itself
        {1, 3, 2, false, ""},
        {1, 3, 3, false, ""},
        {1, 3, 2, true, ""},
    };
    for (const auto& c : cases) {
        ScriptEditing e;
        e.setText("abcdef");
        e.setCaret(c.to, c.from);
        const bool done = e.dropSelection(c.at, c.copy);
        const std::string where = std::to_string(c.from) + ".." + std::to_string(c.to) + " at " + std::to_string(c.at);
        if (!*c.after) {
            EXPECT_FALSE(done) << where;
            EXPECT_EQ(e.text().text(), "abcdef") << where;
            continue;
        }
        ASSERT_TRUE(done) << where;
        std::string got(e.text().text());
        got.insert(e.text().selectionEnd(), "]");
        got.insert(e.text().selectionStart(), "[");
        EXPECT_EQ(got, c.after) << where;
        ASSERT_TRUE(e.undo()) << where;
        EXPECT_EQ(e.text().text(), "abcdef") << where;
        EXPECT_FALSE(e.undo()) << where;
    }
}

// The clipboard gets the desktop's line breaks; pasting gives any break as
// CR LF and drops NUL; erasing and moving keep whole characters.
TEST(ScriptEditing, ClipboardEraseAndMoves) {
    ScriptEditing e;
    e.setText("ab\r\ncd\ref");
    e.setCaret(e.text().size(), 1);
    EXPECT_EQ(e.selectionForClipboard(), "b\ncd\ref");
    e.paste(std::string("x\r\ny\nz\0w", 8));
    EXPECT_EQ(e.text().text(), "ax\r\ny\r\nzw");
    EXPECT_EQ(e.text().caret, e.text().size());
    e.erase(ScriptEditing::Erase::WordBack);
    EXPECT_EQ(e.text().text(), "ax\r\ny\r\n");
    e.erase(ScriptEditing::Erase::Back);
    EXPECT_EQ(e.text().text(), "ax\r\ny");
    e.move(ScriptEditing::Move::TextStart, false);
    e.erase(ScriptEditing::Erase::Back);  // nothing before: nothing to undo either
    EXPECT_EQ(e.text().text(), "ax\r\ny");
    e.move(ScriptEditing::Move::Down, true);
    e.move(ScriptEditing::Move::Right, true);
    EXPECT_EQ(e.selectionForClipboard(), "ax\ny");
    e.move(ScriptEditing::Move::Left, false);  // a selection collapses to its start
    EXPECT_EQ(e.text().caret, 0u);
    ASSERT_TRUE(e.undo());  // the word and the line break erased after it: one run
    EXPECT_EQ(e.text().text(), "ax\r\ny\r\nzw");
    ASSERT_TRUE(e.undo());
    EXPECT_EQ(e.text().text(), "ab\r\ncd\ref");
    EXPECT_FALSE(e.undo());
}

// A run of Backspace or of Delete presses is undone as one step, as typing
// is; a run ends where the caret left it, at the other key, at typing, at
// a selection erased, and at the saved state.
TEST(ScriptEditing, RunsOfBackspaceOrDeleteUndoAsOneStep) {
    using Erase = ScriptEditing::Erase;
    // keys: b Backspace, d Delete, w Ctrl+Backspace, x typed, s saved, < caret left;
    // undone: the text after each undo, to the start; caret: after the first undo (npos: not checked).
    constexpr std::size_t any = std::string::npos;
    const struct { const char* text; std::size_t caret, anchor; std::vector<char> keys; std::vector<std::string> undone; std::size_t undoneCaret = any; } cases[] = {
        {"abcdef", 6, 6, {'b', 'b', 'b'}, {"abcdef"}},
        {"abcdef", 0, 0, {'d', 'd', 'd'}, {"abcdef"}},
        {"ab\r\ncd", 6, 6, {'b', 'b', 'b', 'b'}, {"ab\r\ncd"}},           // across a line break
        {"one two", 7, 7, {'w', 'b', 'b'}, {"one two"}},                 // a word, then characters
        {"abcdef", 3, 3, {'b', 'd'}, {"abdef", "abcdef"}},               // the other key: a new step
        {"abcdef", 6, 6, {'b', 'x', 'b'}, {"abcdex", "abcde", "abcdef"}},
        {"abcdef", 6, 6, {'b', 's', 'b'}, {"abcde", "abcdef"}},
        {"abcdef", 6, 6, {'b', '<', 'b'}, {"abcde", "abcdef"}},           // the caret moved away first
        {"abcdef", 6, 4, {'b', 'b'}, {"abcd", "abcdef"}},                 // a selection erased: a step of its own
        {"abcdef", 5, 5, {'b', 'b'}, {"abcdef"}, 5},                      // undone, the caret after what came back
        {"abcdef", 3, 3, {'d', 'd'}, {"abcdef"}, 3},                      // a Delete run: where it started
    };
    for (const auto& c : cases) {
        ScriptEditing e;
        e.setText(c.text);
        e.setCaret(c.caret, c.anchor);
        for (char k : c.keys) {
            switch (k) {
                case 'b': e.erase(Erase::Back); break;
                case 'd': e.erase(Erase::Forward); break;
                case 'w': e.erase(Erase::WordBack); break;
                case 'x': e.replaceSelection("x", true); break;
                case 's': e.text().setModified(false); break;
                case '<': e.setCaret(e.text().caret - 1, e.text().caret - 1); break;
            }
        }
        const std::string keys(c.keys.begin(), c.keys.end());
        for (const std::string& expected : c.undone) {
            ASSERT_TRUE(e.undo()) << c.text << " keys " << keys;
            EXPECT_EQ(e.text().text(), expected) << c.text << " keys " << keys;
            if (&expected == &c.undone[0] && c.undoneCaret != any) {
                EXPECT_EQ(e.text().caret, c.undoneCaret) << keys;
            }
        }
        EXPECT_FALSE(e.undo()) << c.text << " keys " << keys;
    }
}

// Presses of the mouse: one, two (a word) or three in a row (the line and
// its break), and a drag after them extending by the same measure, either
// way from what the press took.
TEST(ScriptEditing, PressesAndDragsSelectByCharacterWordOrLine) {
    const std::string text = "wait(10) beep\r\nsend(abc)\r\nend";
    // dragTo npos: no drag; shift: a press with Shift, the caret at 2 before.
    const struct { std::size_t at; int clicks; std::size_t dragTo, anchor, caret; bool shift = false; } cases[] = {
        {3, 1, std::string::npos, 3, 3},
        {3, 1, 11, 3, 11},
        {11, 1, 3, 11, 3},
        {1, 2, std::string::npos, 0, 4},    // "wait"
        {1, 2, 11, 0, 13},                  // on to the end of "beep"
        {11, 2, 1, 13, 0},                  // back from "beep" to the start of "wait"
        {11, 2, 12, 9, 13},                 // within the word: the word stays whole
        {17, 3, std::string::npos, 15, 26},  // the middle line with its break
        {17, 3, 27, 15, 29},                // down to the last line's end
        {17, 3, 2, 26, 0},                  // up to the first line's start
        {28, 3, std::string::npos, 26, 29},  // the last line has no break
        {20, 1, std::string::npos, 2, 20, true},  // Shift: the selection reaches the press from where it was
        {20, 1, 1, 2, 1, true},
    };
    for (const auto& c : cases) {
        ScriptEditing e;
        e.setText(text);
        e.setCaret(2, 2);
        e.press(c.at, c.clicks, c.shift);
        if (c.dragTo != std::string::npos) e.dragTo(c.dragTo);
        EXPECT_EQ(e.text().anchor, c.anchor) << c.at << " x" << c.clicks << " to " << c.dragTo;
        EXPECT_EQ(e.text().caret, c.caret) << c.at << " x" << c.clicks << " to " << c.dragTo;
    }
}

// The whole text replaced (find and replace, encoding): one step, holding
// only what differs, undone byte for byte, the caret after the last change.
TEST(ScriptEditing, ReplacingTheWholeTextKeepsWhatIsTheSame) {
    const struct { const char *before, *after; std::size_t caret; } cases[] = {
        {"wait(1)\r\nsend(\"a\")\r\nbeep", "wait(1)\r\nsend(\"b\")\r\nbeep", 16},
        {"abc", "abc", 0},          // nothing differs: nothing to undo, the caret stays
        {"aaa", "aaaa", 4},         // a repeated letter: head and tail do not overlap
        {"x\r\ny", "", 0},
        {"", "n\xC3\xA9w", 4},
    };
    for (const auto& c : cases) {
        ScriptEditing e;
        e.setText(c.before);
        e.replaceAll(c.after);
        EXPECT_EQ(e.text().text(), c.after);
        EXPECT_EQ(e.text().caret, c.caret) << c.after;
        EXPECT_EQ(e.undo(), std::string_view(c.before) != c.after);
        EXPECT_EQ(e.text().text(), c.before);
    }
}

// Run numbers count the non-empty lines before, through every kind of
// edit, as numbering the whole text again would; an encoded script has none.
TEST(ScriptEditing, RunNumbersFollowEveryEdit) {
    ScriptEditing e;
    e.setText("beep\r\n\r\nwait(1)\r\n' note\r\n\r\nbeep");
    auto check = [&](const std::string& after) {
        const bool encoded = e.text().text().starts_with("$%& ");
        int next = 0;
        for (std::size_t l = 0; l < e.text().lineCount(); ++l) {
            const int want = encoded || e.text().lineLength(l) == 0 ? -1 : next++;
            ASSERT_EQ(e.runNumber(l), want) << "line " << l << " after " << after;
        }
    };
    auto edit = [&](std::size_t from, std::size_t to, const char* inserted) {
        e.setCaret(to, from);
        e.replaceSelection(inserted);
    };
    auto at = [&](std::size_t line, std::size_t column) { return e.text().lineStart(line) + column; };
    const struct { const char* what; std::function<void()> edit; } edits[] = {
        {"an empty line filled", [&] { edit(at(1, 0), at(1, 0), "beep"); }},
        {"a line lengthened", [&] { edit(e.text().lineEnd(0), e.text().lineEnd(0), "x"); }},
        {"one line emptied, the next filled", [&] { edit(at(3, 0), at(4, 0), "\r\nx"); }},
        {"lines added", [&] { edit(at(0, 2), at(0, 2), "\r\n\r\nx\r\n"); }},
        {"lines joined", [&] { edit(at(1, 0), at(4, 1), ""); }},
        {"a line emptied", [&] { edit(at(2, 0), e.text().lineEnd(2), ""); }},
        {"undo", [&] { e.undo(); }},
        {"redo", [&] { e.redo(); }},
        {"the marker typed", [&] { edit(0, 0, "$%& "); }},
        {"the marker undone", [&] { e.undo(); }},
        {"into a CR LF", [&] { edit(e.text().lineEnd(0) + 1, e.text().lineEnd(0) + 1, "x"); }},
        {"all gone", [&] { edit(0, e.text().size(), ""); }},
    };
    check("loading");
    for (const auto& step : edits) {
        step.edit();
        check(step.what);
    }
}

// What the window reports of the caret, and Up and Down keeping their
// column across a shorter line.
TEST(ScriptEditing, CaretReportsAndVerticalMoves) {
    ScriptEditing e;
    e.setText("abcdef\r\nx\r\nab\xE2\x86\x92" "def(\r\nlast(");
    e.setCaret(e.text().lineStart(2) + 5, e.text().lineStart(2) + 5);  // after the arrow
    const ScriptEditing::CaretLine at = e.caretLine();
    EXPECT_EQ(at.line, 2u);
    EXPECT_EQ(at.column, 3u);
    EXPECT_EQ(at.text, "ab\xE2\x86\x92" "def(");
    EXPECT_EQ(e.caretCharacters(), 8u + 3u + 3u);  // a line break counts two
    EXPECT_TRUE(e.holdsAfterCaretLine("("));   // "last(" after it
    EXPECT_FALSE(e.holdsAfterCaretLine("x"));  // only before it
    e.move(ScriptEditing::Move::Down, false);
    EXPECT_FALSE(e.holdsAfterCaretLine("("));  // the last line has nothing after it
    e.setCaret(5, 5);
    e.move(ScriptEditing::Move::Down, false);
    EXPECT_EQ(e.text().caret, e.text().lineEnd(1));  // "x" is shorter
    e.move(ScriptEditing::Move::Down, false);
    EXPECT_EQ(e.text().caret, e.text().lineStart(2) + 7);  // column 5 again, past the arrow
    e.move(ScriptEditing::Move::Up, true, 2);
    EXPECT_EQ(e.text().caret, 5u);
    EXPECT_EQ(e.text().anchor, e.text().lineStart(2) + 7);
}

// Offsets in UTF-16 units (what accessibility and the edit box's messages
// count) and back: a character beyond 16 bits is two, CR LF two, and a
// unit inside a character or a line break stands for its start.
TEST(ScriptEditing, OffsetsInUtf16UnitsAndBack) {
    ScriptEditing e;
    const std::string text = "a\xC3\xA9\r\n\xF0\x9F\x98\x80" "b\xE2\x82\xAC";  // a é CR LF 😀 b €
    e.setText(text);
    const struct { std::size_t pos, units; } toUnits[] = {{0, 0}, {1, 1}, {3, 2}, {5, 4}, {9, 6}, {10, 7}, {13, 8}, {99, 8}};
    for (const auto& c : toUnits) EXPECT_EQ(e.unitsBefore(c.pos), c.units) << c.pos;
    const struct { std::size_t units, pos; } toPos[] = {
        {0, 0}, {1, 1}, {2, 3}, {3, 3}, {4, 5}, {5, 5}, {6, 9}, {7, 10}, {8, 13}, {50, 13}};
    for (const auto& c : toPos) EXPECT_EQ(e.positionOfUnits(c.units), c.pos) << c.units;
}

// The box's colours on light, dark and high-contrast schemes: every ink
// readable on every ground it is drawn on; a high-contrast scheme keeps to
// its own pair; a dark scheme gets light inks.
TEST(BoxColours, EveryInkReadableOnItsGroundInEveryScheme) {
    EXPECT_NEAR(contrast({0, 0, 0}, {255, 255, 255}), 21.0, 0.01);
    EXPECT_NEAR(contrast({90, 90, 90}, {90, 90, 90}), 1.0, 0.001);
    const struct { const char* name; Rgb ground, text, highlight, highlightText; bool high; } schemes[] = {
        {"light", {255, 255, 255}, {0, 0, 0}, {0, 120, 215}, {255, 255, 255}, false},
        {"dark", {30, 30, 30}, {230, 230, 230}, {60, 110, 180}, {255, 255, 255}, false},
        {"dark blue", {16, 24, 64}, {255, 255, 160}, {255, 255, 0}, {0, 0, 0}, false},
        {"grey", {200, 200, 200}, {20, 20, 20}, {0, 0, 128}, {255, 255, 255}, false},
        {"high contrast black", {0, 0, 0}, {255, 255, 255}, {26, 235, 255}, {0, 0, 0}, true},
        {"high contrast white", {255, 255, 255}, {0, 0, 0}, {55, 0, 110}, {255, 255, 255}, true},
    };
    for (const auto& s : schemes) {
        const BoxColours c = boxColours(s.ground, s.text, s.highlight, s.highlightText, s.high);
        const struct { const char* what; Rgb ink, ground; } pairs[] = {
            {"keyword", c.keyword, c.ground},         {"comment", c.comment, c.ground},
            {"text on the run line", c.text, c.runLine}, {"keyword on the run line", c.keyword, c.runLine},
            {"comment on the run line", c.comment, c.runLine}, {"text on 1252's mark", c.text, c.outside1252},
            {"keyword on 1252's mark", c.keyword, c.outside1252}, {"number", c.gutterNumber, c.gutter},
            {"running number", c.gutterRunningNumber, c.gutterRunning},
        };
        for (const auto& p : pairs)
            EXPECT_GE(contrast(p.ink, p.ground), kReadable) << s.name << ": " << p.what;
        // Marks still show where the scheme allows.
        if (!s.high) {
            EXPECT_NE(c.runLine, c.ground) << s.name;
            EXPECT_NE(c.gutterRunning, c.gutter) << s.name;
        } else {
            EXPECT_EQ(c.keyword, s.text) << s.name;
            EXPECT_EQ(c.comment, s.text) << s.name;
            EXPECT_EQ(c.outside1252, s.ground) << s.name;
        }
    }
    // On a dark ground the keywords are not the light scheme's dark blue.
    const BoxColours dark = boxColours({30, 30, 30}, {230, 230, 230}, {60, 110, 180}, {255, 255, 255}, false);
    EXPECT_GT(contrast(dark.keyword, {30, 30, 30}), 6.0);
}

}  // namespace
}  // namespace torvic
