#pragma once
// What the editor box Text1 does, apart from drawing and reading the
// toolkit's input: the text (ScriptText), the caret's moves and the edits a
// key makes, the clipboard's line breaks, each line's run number (the
// 0-based count that "Cont Exec" and the line field use), the line a run is
// at, and how each shown line is drawn: keywords, comments, lines the
// dispatcher would not recognise, characters code page 1252 cannot hold,
// the selection. Both toolkits' boxes draw what this gives them, and only
// for the lines in sight.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/script_text.h"
#include "script/script_file.h"

namespace torvic {

// How a stretch of a line is drawn.
struct TextStyle {
    enum Kind : unsigned char { Plain, Keyword, Comment } kind = Plain;
    bool wave = false;         // red wave beneath: unrecognised line, or a character 1252 lacks
    bool outside1252 = false;  // red ground
    bool operator==(const TextStyle&) const = default;
};
// The styles of a line's bytes, as [from, to) stretches in order.
struct StyledStretch {
    std::size_t from, to;
    TextStyle style;
};
std::vector<StyledStretch> styleLine(std::string_view utf8Line, LineKind kind, bool classified);
// Whether a line (UTF-8) holds characters code page 1252 cannot.
bool holdsOutside1252(std::string_view utf8Line);

// A piece of a shown line drawn in one go: characters of one style that a
// fixed-pitch font draws a cell each, or one character on its own (a tab,
// or one whose glyph may be wider), from `column` on over `cells` columns.
// A lone CR or LF shows as its mark, other control characters as their
// pictures; a tab has no text.
struct ShownRun {
    std::size_t column, cells;
    std::u32string text;
    TextStyle style;
    bool selected;
};
struct ShownLine {
    std::vector<ShownRun> runs;
    std::size_t endColumn = 0;      // where the line's text ends (as far as drawn)
    bool breakSelected = false;     // the selection goes on past the line's end
    bool running = false;           // the line a run is at
};

// The box's own menu (the right button), in order; a null caption is a
// separator.
enum class EditCommand { Undo, Redo, Cut, Copy, Paste, Delete, SelectAll, None };
struct EditMenuItem {
    const char* caption;  // UTF-8, '&' before the access key
    EditCommand command;
};
const std::vector<EditMenuItem>& editMenu();

class ScriptEditing {
public:
    ScriptEditing();

    ScriptText& text() { return text_; }
    const ScriptText& text() const { return text_; }
    // The rule the colours follow, given a line in code page 1252.
    std::function<LineKind(std::string_view)> classify;

    // Replaces the whole text with nothing to undo; the caret at the start.
    void setText(std::string utf8);
    // Replaces the selection as a step the user can undo (typing joins the
    // step before it); the whole text likewise (the step holds only what
    // differs, and the caret goes after it).
    void replaceSelection(std::string_view utf8, bool typing = false);
    void replaceAll(std::string_view utf8);
    bool undo() { return text_.undo(); }
    bool redo() { return text_.redo(); }
    bool hasSelection() const { return text_.caret != text_.anchor; }
    void setCaret(std::size_t caret, std::size_t anchor);

    enum class Move { Left, Right, WordLeft, WordRight, Up, Down, LineStart, LineEnd, TextStart, TextEnd };
    // Moves the caret (Up and Down by `lines`), extending the selection or
    // not; Up and Down keep the column they started from.
    void move(Move how, bool extend, std::size_t lines = 1);
    enum class Erase { Back, Forward, WordBack, WordForward };
    // Deletes the selection, or the character or word before or after the caret.
    void erase(Erase how);
    // The word at a place (a double click) selected.
    void selectWord(std::size_t pos);
    // A press of the left button at a place, the `clicks`-th in a row: one
    // puts the caret there (with `extend`, the selection reaches it), two
    // take the word, three the line with its line break. A drag after it
    // extends the selection by the same measure from what the press took.
    void press(std::size_t pos, int clicks, bool extend);
    void dragTo(std::size_t pos);
    // The selection dragged and dropped at `to`: moved there (or copied)
    // as one step the user can undo, and selected there. False when it
    // falls on itself (a move), or there is none.
    bool dropSelection(std::size_t to, bool copy);

    // Whether a command of the box's menu can act now.
    bool canDo(EditCommand command, bool clipboardHasText) const;

    // The selection for the clipboard (line breaks as the desktop's '\n'),
    // and a clipboard text put in place of the selection (any line break
    // becomes CR LF; NUL has no place in a script).
    std::string selectionForClipboard() const;
    void paste(std::string_view utf8);

    // The run number of a line, or -1 for an empty line (and for every
    // line of an encoded script, whose lines are not its own).
    int runNumber(std::size_t line);
    bool encoded() const { return encoded_; }
    // The line a run is at, by run number (-1: none).
    int marked = -1;
    // What a view draws again: the lines from..to (to = kToBottom: all
    // below), and with `numbersBelow` the gutter's numbers from `from` on.
    static constexpr std::size_t kToBottom = static_cast<std::size_t>(-1);
    struct Redraw {
        std::size_t from = kToBottom, to = 0;
        bool numbersBelow = false;
        bool any() const { return from <= to; }
    };
    // After an edit: the lines it put text in; when lines came or went, or
    // every line's numbers or colours may have changed, all below them.
    Redraw redrawAfterEdit();
    // After the caret moved: the lines of the selection as it was drawn
    // and as it is.
    Redraw redrawAfterCaretMove();
    // The widest line seen, in columns (grows as wider lines are drawn).
    std::size_t widest() const { return widest_; }

    // How a line is drawn, its styles (of its first 64 KB), and
    // its runs for the columns [firstColumn, lastColumn].
    std::vector<StyledStretch> lineStyles(std::size_t line);
    ShownLine shownLine(std::size_t line, std::size_t firstColumn, std::size_t lastColumn);
    // The selection's start as the window reports it: in characters from
    // the text's start (a line break counts two, CR LF), and as its line,
    // the column in that line and the line's text. And whether `utf8`
    // stands anywhere after that line.
    std::size_t caretCharacters() const;
    struct CaretLine {
        std::size_t line, column;
        std::string text;
    };
    CaretLine caretLine() const;
    bool holdsAfterCaretLine(std::string_view utf8) const;
    // Offsets as the system's text interfaces count them (accessibility,
    // the edit box's messages): UTF-16 units from the text's start. A byte
    // position to units, and units to the position of the character they
    // fall in (past the end: the end). Each walks the text before it.
    std::size_t unitsBefore(std::size_t pos) const;
    std::size_t positionOfUnits(std::size_t units) const;
    // Whether the gutter marks the line as holding characters 1252 lacks.
    bool lineHoldsOutside1252(std::size_t line) const;

private:
    void changed(std::size_t firstLine, std::size_t lastLine);
    // The styles of a line's bytes, as the classifier reads the line.
    std::vector<StyledStretch> stylesOf(std::string_view wholeLine) const;

    ScriptText text_;
    bool encoded_ = false;
    // The lines the last change put text in, and what the view has drawn.
    std::size_t changedFrom_ = 0, changedTo_ = 0;
    std::size_t linesDrawn_ = 1;
    bool encodedDrawn_ = false;
    std::size_t selectionFrom_ = kToBottom, selectionTo_ = 0;  // none drawn
    std::size_t wantedColumn_ = 0;  // kept by Up and Down
    // What the last press took, and by which measure a drag extends it.
    std::pair<std::size_t, std::size_t> pressed_{0, 0};
    int pressUnit_ = 1;  // 1 a character, 2 a word, 3 a line
    std::pair<std::size_t, std::size_t> unitAt(std::size_t pos, int unit) const;
    bool wantedColumnKept_ = false;
    std::size_t widest_ = 0;
    // Run numbers: filled lines before each line, known up to runKnown_.
    std::vector<int> runBefore_;
    std::size_t runKnown_ = 0;
    bool numbersKept_ = true;  // no change since the last redraw renumbered lines below it
};

}  // namespace torvic
