#pragma once
// The editor's text, held by the editor itself rather than by a toolkit's
// text control: the bytes as they are (UTF-8, CR LF line breaks; a lone CR
// or LF is a character of its line), a gap where the last edit was, an index
// of where each line starts, and the undo history. A key costs the edit and
// the index entries after it, never a copy or a walk of the whole text, and
// the text takes little more than its own size.
#include <cstddef>
#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvic {

class ScriptText {
public:
    ScriptText() = default;

    // Replaces the whole text with nothing to undo, unmodified; the caret
    // goes to the start. The text is taken over (not copied) when moved in.
    void setText(std::string text);
    // The whole text in one piece (the gap is closed first).
    std::string_view text();
    std::size_t size() const { return buffer_.size() - gapSize(); }
    char at(std::size_t pos) const { return pos < gapStart_ ? buffer_[pos] : buffer_[pos + gapSize()]; }
    std::string slice(std::size_t from, std::size_t to) const;

    // Lines: each ends before its CR LF (the last one at the end).
    std::size_t lineCount() const { return lineStarts_.size(); }
    std::size_t lineStart(std::size_t line) const { return lineStarts_[line]; }
    std::size_t lineEnd(std::size_t line) const;
    std::size_t lineLength(std::size_t line) const { return lineEnd(line) - lineStart(line); }
    std::size_t lineOf(std::size_t pos) const;
    std::string lineText(std::size_t line) const { return slice(lineStart(line), lineEnd(line)); }
    // Where `what` first stands at or after `from`, or npos.
    std::size_t find(std::string_view what, std::size_t from) const;

    // Caret moves, by whole characters; a CR LF counts as one.
    std::size_t nextPosition(std::size_t pos) const;
    std::size_t previousPosition(std::size_t pos) const;
    // Ctrl+Right, Ctrl+Left: to the start of the next or previous word.
    std::size_t nextWord(std::size_t pos) const;
    std::size_t previousWord(std::size_t pos) const;
    // The word at `pos` (a double click): its start and end.
    std::pair<std::size_t, std::size_t> wordAt(std::size_t pos) const;
    // The cells a character takes: none for a combining mark (it is drawn
    // with the character before it, and the caret steps over both), two for
    // a wide one (CJK, pictographs), one for the others.
    static std::size_t cellsOf(char32_t u);
    // Columns, as shown: a character takes its cells, a tab goes on to the
    // next multiple of kTabWidth.
    static constexpr std::size_t kTabWidth = 8;
    std::size_t columnOf(std::size_t pos) const;
    // The place in `line` nearest the column.
    std::size_t positionAt(std::size_t line, std::size_t column) const;

    // An edit: the bytes [pos, pos + removed) become `inserted`. With
    // `typing`, a character typed right after the previous one joins its
    // undo step, as in any editor, and so does a run of Backspace or Delete
    // presses. Positions are clamped to the text.
    void replace(std::size_t pos, std::size_t removed, std::string_view inserted, bool typing = false);
    // Undo and redo: false when there is nothing; the caret goes to the
    // end of what came back.
    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < history_.size(); }
    bool undo();
    bool redo();
    // Unsaved changes: going back through the history to the saved state
    // counts as unchanged.
    bool isModified() const { return done_ != saved_; }
    void setModified(bool modified);

    // The caret and the other end of the selection (equal: no selection).
    std::size_t caret = 0, anchor = 0;
    std::size_t selectionStart() const { return std::min(caret, anchor); }
    std::size_t selectionEnd() const { return std::max(caret, anchor); }

    // Told after every change, with the first and the last line that hold
    // what it put in (the lines before the first are as they were; those
    // after the last too, but for their numbers).
    std::function<void(std::size_t firstLine, std::size_t lastLine)> onChange;
    // Told before each edit (undo and redo too) what it will do: the bytes
    // [pos, pos + removed) become `inserted` (accessibility reports it).
    std::function<void(std::size_t pos, std::size_t removed, std::string_view inserted)> beforeEdit;

private:
    enum class Run : unsigned char { None, Typing, Back, Forward };
    struct Step {
        std::size_t pos;
        std::string removed, inserted;
        Run run;  // what the next edit joins it by
    };
    std::size_t gapSize() const { return gapEnd_ - gapStart_; }
    void moveGap(std::size_t pos, std::size_t room);
    // The edit itself, without the history.
    void apply(std::size_t pos, std::size_t removed, std::string_view inserted);
    std::size_t cellsBetween(std::size_t from, std::size_t to) const;
    // The character that starts at `pos` and its length in bytes.
    char32_t characterAt(std::size_t pos, std::size_t& length) const;
    bool combiningAt(std::size_t pos) const;

    std::string buffer_;  // text before the gap, the gap, text after it
    std::size_t gapStart_ = 0, gapEnd_ = 0;
    std::vector<std::size_t> lineStarts_{0};
    std::vector<Step> history_;
    std::size_t done_ = 0;           // steps of history_ in effect
    std::size_t saved_ = 0;          // done_ when last saved (npos: never again)
};

}  // namespace torvic
