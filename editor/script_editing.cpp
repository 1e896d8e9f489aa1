#include "editor/script_editing.h"

#include <algorithm>

#include "base/cp1252.h"
#include "base/text_encoding.h"

namespace torvic {
namespace {

// Lines longer than this are drawn by the stretch in sight only, and
// plainly: reading them whole on every paint would cost a key its speed.
constexpr std::size_t kLongLine = 1 << 16;

// The character at `i` and its length; a byte that starts no well-formed
// sequence stands alone, as U+FFFD.
char32_t characterAt(std::string_view s, std::size_t i, std::size_t& length) {
    length = utf8SequenceLength(s, i);
    if (length == 0) {
        length = 1;
        return 0xFFFD;
    }
    return utf8CodePoint(s, i, length);
}
bool isOutside1252(char32_t u) { return cp1252::fromUnicode(u) < 0; }
// How a character is drawn: a lone CR or LF as its mark, other control
// characters as their pictures.
char32_t shown(char32_t u) {
    if (u == '\r') return 0x240D;
    if (u == '\n') return 0x240A;
    if (u < 0x20) return 0x2400 + u;
    return u == 0x7F ? 0x2421 : u;
}
// Characters a fixed-pitch font draws in one cell: they go in runs; others
// are drawn each on its own so that the columns stay true.
bool fitsCell(char32_t u) { return u < 0x0300 || (u >= 0x0370 && u < 0x2000); }

}  // namespace

bool holdsOutside1252(std::string_view line) {
    for (std::size_t i = 0, length = 0; i < line.size(); i += length)
        if (isOutside1252(characterAt(line, i, length))) return true;
    return false;
}

std::vector<StyledStretch> styleLine(std::string_view line, LineKind kind, bool classified) {
    std::size_t keywordFrom = 0, keywordTo = 0;
    TextStyle base;
    if (classified && !line.empty()) {
        if (kind == LineKind::Command) {
            while (keywordFrom < line.size() && (line[keywordFrom] == ' ' || line[keywordFrom] == '\t')) ++keywordFrom;
            keywordTo = std::min(line.find('('), line.size());
        } else if (kind == LineKind::Comment) {
            base.kind = TextStyle::Comment;
        } else {
            base.wave = true;
        }
    }
    std::vector<StyledStretch> out;
    for (std::size_t i = 0, length = 0; i < line.size(); i += length) {
        TextStyle style = base;
        if (i >= keywordFrom && i < keywordTo) style.kind = TextStyle::Keyword;
        if (isOutside1252(characterAt(line, i, length))) style.outside1252 = style.wave = true;
        if (!out.empty() && out.back().style == style)
            out.back().to = i + length;
        else
            out.push_back({i, i + length, style});
    }
    return out;
}

const std::vector<EditMenuItem>& editMenu() {
    static const std::vector<EditMenuItem> items{
        {"&Desfés", EditCommand::Undo},     {"&Refés", EditCommand::Redo},
        {nullptr, EditCommand::None},             {"&Retalla", EditCommand::Cut},
        {"&Copia", EditCommand::Copy},            {"&Enganxa", EditCommand::Paste},
        {"&Suprimeix", EditCommand::Delete},      {nullptr, EditCommand::None},
        {"Selecciona-ho &tot", EditCommand::SelectAll},
    };
    return items;
}

ScriptEditing::Redraw ScriptEditing::redrawAfterEdit() {
    // The lines below keep their numbers (and the running line its place)
    // when the changed lines hold as many script lines as before.
    const bool throughout =
        text_.lineCount() != linesDrawn_ || encoded_ != encodedDrawn_ || (marked >= 0 && !numbersKept_);
    const bool numbersBelow = !throughout && !numbersKept_;
    linesDrawn_ = text_.lineCount();
    encodedDrawn_ = encoded_;
    numbersKept_ = true;
    return {changedFrom_, throughout ? kToBottom : changedTo_, numbersBelow};
}

ScriptEditing::Redraw ScriptEditing::redrawAfterCaretMove() {
    const bool selection = hasSelection();
    const std::size_t from = selection ? text_.lineOf(text_.selectionStart()) : kToBottom;
    const std::size_t to = selection ? text_.lineOf(text_.selectionEnd()) : 0;
    const Redraw redraw{std::min(from, selectionFrom_), std::max(to, selectionTo_), false};
    selectionFrom_ = from;
    selectionTo_ = to;
    return redraw;
}

bool ScriptEditing::canDo(EditCommand command, bool clipboardHasText) const {
    switch (command) {
        case EditCommand::Undo: return text_.canUndo();
        case EditCommand::Redo: return text_.canRedo();
        case EditCommand::Cut:
        case EditCommand::Copy:
        case EditCommand::Delete: return hasSelection();
        case EditCommand::Paste: return clipboardHasText;
        case EditCommand::SelectAll: return text_.size() > 0;
        case EditCommand::None: break;
    }
    return false;
}

ScriptEditing::ScriptEditing() {
    text_.onChange = [this](std::size_t first, std::size_t last) { changed(first, last); };
}

void ScriptEditing::setText(std::string utf8) {
    text_.setText(std::move(utf8));
    widest_ = 0;
    for (std::size_t l = 0; l < text_.lineCount(); ++l) widest_ = std::max(widest_, text_.lineLength(l));
    wantedColumnKept_ = false;
}

void ScriptEditing::changed(std::size_t firstLine, std::size_t lastLine) {
    changedFrom_ = firstLine;
    changedTo_ = lastLine;
    // Lines after the change may number differently; those before do not.
    // When as many lines as before, and as many script lines among the
    // changed ones (their numbers known from before), the lines after keep
    // theirs: only the changed lines are numbered again.
    bool kept = false;
    if (runBefore_.size() == text_.lineCount() + 1 && runKnown_ > lastLine + 1) {
        int filled = 0;
        for (std::size_t l = firstLine; l <= lastLine; ++l) filled += isScriptLine(text_.lineLength(l)) ? 1 : 0;
        kept = filled == runBefore_[lastLine + 1] - runBefore_[firstLine];
        for (std::size_t l = firstLine; kept && l <= lastLine; ++l)
            runBefore_[l + 1] = runBefore_[l] + (isScriptLine(text_.lineLength(l)) ? 1 : 0);
    }
    numbersKept_ = numbersKept_ && kept;
    if (!kept) runKnown_ = std::min(runKnown_, firstLine + 1);
    runBefore_.resize(text_.lineCount() + 1);
    runKnown_ = std::min(runKnown_, runBefore_.size());
    encoded_ = isEncodedScript(text_.slice(0, kEncodedMarker.size()));
    widest_ = std::max(widest_, text_.lineLength(firstLine));
}

void ScriptEditing::replaceSelection(std::string_view utf8, bool typing) {
    const std::size_t from = text_.selectionStart();
    text_.replace(from, text_.selectionEnd() - from, utf8, typing);
    wantedColumnKept_ = false;
    widest_ = std::max(widest_, text_.lineLength(text_.lineOf(text_.caret)));
}

void ScriptEditing::replaceAll(std::string_view utf8) {
    // Only what differs is replaced: the undo step holds that much, and the
    // caret stays by the last change.
    const std::string_view old = text_.text();
    const std::size_t shorter = std::min(old.size(), utf8.size());
    std::size_t head = 0, tail = 0;
    while (head < shorter && old[head] == utf8[head]) ++head;
    while (tail < shorter - head && old[old.size() - 1 - tail] == utf8[utf8.size() - 1 - tail]) ++tail;
    text_.replace(head, old.size() - head - tail, utf8.substr(head, utf8.size() - head - tail));
    wantedColumnKept_ = false;
}

void ScriptEditing::setCaret(std::size_t caret, std::size_t anchor) {
    text_.caret = std::min(caret, text_.size());
    text_.anchor = std::min(anchor, text_.size());
    wantedColumnKept_ = false;
}

void ScriptEditing::move(Move how, bool extend, std::size_t lines) {
    const std::size_t caret = text_.caret, line = text_.lineOf(caret);
    const bool collapse = hasSelection() && !extend;
    std::size_t to = caret;
    switch (how) {
        case Move::Left: to = collapse ? text_.selectionStart() : text_.previousPosition(caret); break;
        case Move::Right: to = collapse ? text_.selectionEnd() : text_.nextPosition(caret); break;
        case Move::WordLeft: to = text_.previousWord(caret); break;
        case Move::WordRight: to = text_.nextWord(caret); break;
        case Move::LineStart: to = text_.lineStart(line); break;
        case Move::LineEnd: to = text_.lineEnd(line); break;
        case Move::TextStart: to = 0; break;
        case Move::TextEnd: to = text_.size(); break;
        case Move::Up:
        case Move::Down: {
            if (!wantedColumnKept_) wantedColumn_ = text_.columnOf(caret);
            const std::size_t target = how == Move::Up ? (line > lines ? line - lines : 0)
                                                       : std::min(line + lines, text_.lineCount() - 1);
            text_.caret = text_.positionAt(target, wantedColumn_);
            if (!extend) text_.anchor = text_.caret;
            wantedColumnKept_ = true;
            return;
        }
    }
    setCaret(to, extend ? text_.anchor : to);
}

void ScriptEditing::erase(Erase how) {
    if (!hasSelection()) {
        const std::size_t caret = text_.caret;
        switch (how) {
            case Erase::Back: text_.anchor = text_.previousPosition(caret); break;
            case Erase::Forward: text_.anchor = text_.nextPosition(caret); break;
            case Erase::WordBack: text_.anchor = text_.previousWord(caret); break;
            case Erase::WordForward: text_.anchor = text_.nextWord(caret); break;
        }
        if (text_.anchor == caret) return;
        // A run of presses is undone as one step.
        const std::size_t from = text_.selectionStart();
        text_.replace(from, text_.selectionEnd() - from, {}, true);
        wantedColumnKept_ = false;
        return;
    }
    replaceSelection({});
}

void ScriptEditing::selectWord(std::size_t pos) {
    const auto [from, to] = text_.wordAt(pos);
    setCaret(to, from);
}

std::pair<std::size_t, std::size_t> ScriptEditing::unitAt(std::size_t pos, int unit) const {
    if (unit == 2) return text_.wordAt(pos);
    if (unit == 3) {
        const std::size_t line = text_.lineOf(pos);
        return {text_.lineStart(line), line + 1 < text_.lineCount() ? text_.lineStart(line + 1) : text_.size()};
    }
    return {pos, pos};
}

void ScriptEditing::press(std::size_t pos, int clicks, bool extend) {
    pos = std::min(pos, text_.size());
    pressUnit_ = std::clamp(clicks, 1, 3);
    if (pressUnit_ == 1) {
        pressed_ = {pos, pos};
        setCaret(pos, extend ? text_.anchor : pos);
        if (extend) pressed_ = {text_.anchor, text_.anchor};
        return;
    }
    pressed_ = unitAt(pos, pressUnit_);
    setCaret(pressed_.second, pressed_.first);
}

void ScriptEditing::dragTo(std::size_t pos) {
    pos = std::min(pos, text_.size());
    const auto [from, to] = unitAt(pos, pressUnit_);
    // Before what the press took: from the start of the unit there to the
    // press's end; after it: from the press's start to the unit's end.
    if (pos < pressed_.first)
        setCaret(from, pressed_.second);
    else
        setCaret(std::max(to, pressed_.second), pressed_.first);
}

bool ScriptEditing::dropSelection(std::size_t to, bool copy) {
    const std::size_t from = text_.selectionStart(), end = text_.selectionEnd();
    to = std::min(to, text_.size());
    if (from == end || (to > from && to < end) || (!copy && (to == from || to == end))) return false;
    const std::string moved = text_.slice(from, end);
    if (copy) {
        text_.replace(to, 0, moved);
        setCaret(to + moved.size(), to);
    } else if (to < from) {  // [to, end) = before + moved becomes moved + before
        text_.replace(to, end - to, moved + text_.slice(to, from));
        setCaret(to + moved.size(), to);
    } else {  // [from, to) = moved + after becomes after + moved
        text_.replace(from, to - from, text_.slice(end, to) + moved);
        setCaret(to, to - moved.size());
    }
    wantedColumnKept_ = false;
    widest_ = std::max(widest_, text_.lineLength(text_.lineOf(text_.caret)));
    return true;
}

std::string ScriptEditing::selectionForClipboard() const {
    std::string s = text_.slice(text_.selectionStart(), text_.selectionEnd()), out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
    return out;
}

void ScriptEditing::paste(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 16);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\0') continue;
        if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;  // its LF makes the break
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    if (!out.empty()) replaceSelection(out);
}

int ScriptEditing::runNumber(std::size_t line) {
    if (encoded_ || line >= text_.lineCount() || !isScriptLine(text_.lineLength(line))) return -1;
    runBefore_.resize(text_.lineCount() + 1);
    if (runKnown_ == 0) {
        runBefore_[0] = 0;
        runKnown_ = 1;
    }
    for (; runKnown_ <= line; ++runKnown_)
        runBefore_[runKnown_] = runBefore_[runKnown_ - 1] + (isScriptLine(text_.lineLength(runKnown_ - 1)) ? 1 : 0);
    return runBefore_[line];
}

std::vector<StyledStretch> ScriptEditing::stylesOf(std::string_view wholeLine) const {
    const bool classified = classify && !encoded_;
    return styleLine(wholeLine, classified ? classify(utf8To1252(wholeLine)) : LineKind::Command, classified);
}

std::vector<StyledStretch> ScriptEditing::lineStyles(std::size_t line) {
    const std::size_t start = text_.lineStart(line);
    return stylesOf(text_.slice(start, std::min(text_.lineEnd(line), start + kLongLine)));
}

namespace {
// Characters (a line break counts two, CR LF) among the bytes [from, to).
std::size_t charactersIn(const ScriptText& text, std::size_t from, std::size_t to) {
    std::size_t count = 0;
    for (std::size_t i = from; i < to; ++i) count += startsUtf8Character(text.at(i)) ? 1 : 0;
    return count;
}
}  // namespace

namespace {
// UTF-16 units of the character a byte starts (0 for a continuation byte;
// a stray byte shows as one U+FFFD).
std::size_t unitsOfByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u & 0xC0) == 0x80) return 0;
    return u >= 0xF0 && u < 0xF8 ? 2 : 1;
}
}  // namespace

std::size_t ScriptEditing::unitsBefore(std::size_t pos) const {
    pos = std::min(pos, text_.size());
    std::size_t units = 0;
    for (std::size_t i = 0; i < pos; ++i) units += unitsOfByte(text_.at(i));
    return units;
}

std::size_t ScriptEditing::positionOfUnits(std::size_t units) const {
    std::size_t pos = 0, seen = 0;
    const std::size_t size = text_.size();
    while (pos < size) {
        const std::size_t next = text_.nextPosition(pos);
        std::size_t here = 0;
        for (std::size_t i = pos; i < next; ++i) here += unitsOfByte(text_.at(i));
        if (seen + here > units) break;
        seen += here;
        pos = next;
    }
    return pos;
}

std::size_t ScriptEditing::caretCharacters() const { return charactersIn(text_, 0, text_.selectionStart()); }

ScriptEditing::CaretLine ScriptEditing::caretLine() const {
    const std::size_t pos = text_.selectionStart(), line = text_.lineOf(pos);
    return {line, charactersIn(text_, text_.lineStart(line), pos), text_.lineText(line)};
}

bool ScriptEditing::holdsAfterCaretLine(std::string_view utf8) const {
    const std::size_t line = text_.lineOf(text_.selectionStart());
    return line + 1 < text_.lineCount() && text_.find(utf8, text_.lineStart(line + 1)) != std::string::npos;
}

bool ScriptEditing::lineHoldsOutside1252(std::size_t line) const {
    const std::size_t start = text_.lineStart(line);
    return holdsOutside1252(text_.slice(start, std::min(text_.lineEnd(line), start + kLongLine)));
}

ShownLine ScriptEditing::shownLine(std::size_t line, std::size_t firstColumn, std::size_t lastColumn) {
    ShownLine out;
    out.running = marked >= 0 && runNumber(line) == marked;
    const std::size_t start = text_.lineStart(line), end = text_.lineEnd(line);
    // The stretch drawn: the whole line, or past kLongLine the columns in sight.
    std::size_t from = start, column = 0;
    std::vector<StyledStretch> styles;
    std::string bytes;
    const bool whole = end - start <= kLongLine;
    if (whole) {
        bytes = text_.slice(start, end);
        styles = stylesOf(bytes);
    } else {
        from = text_.positionAt(line, firstColumn);
        column = text_.columnOf(from);
        bytes = text_.slice(from, text_.positionAt(line, lastColumn + 1));
        styles = styleLine(bytes, LineKind::Command, false);
    }
    const std::size_t selFrom = text_.selectionStart(), selTo = text_.selectionEnd();
    std::size_t stretch = 0;
    for (std::size_t i = 0, length = 0; i < bytes.size() && column <= lastColumn; i += length) {
        const char32_t raw = characterAt(bytes, i, length), u = raw == '\t' ? raw : shown(raw);
        while (stretch + 1 < styles.size() && styles[stretch].to <= i) ++stretch;
        const TextStyle style = styles.empty() ? TextStyle{} : styles[stretch].style;
        const bool selected = from + i >= selFrom && from + i < selTo;
        const std::size_t cells = u == '\t' ? (column / ScriptText::kTabWidth + 1) * ScriptText::kTabWidth - column
                                             : ScriptText::cellsOf(u);
        const bool alone = u == '\t' || !fitsCell(u) || cells != 1;
        ShownRun* previous = out.runs.empty() ? nullptr : &out.runs.back();
        if (cells == 0 && previous && !previous->text.empty() && previous->column + previous->cells == column) {
            // A combining mark: drawn in one piece with the character
            // before it (taken out of its run when it shares one).
            if (previous->text.size() == previous->cells && previous->cells > 1) {
                const char32_t base = previous->text.back();
                previous->text.pop_back();
                --previous->cells;
                out.runs.push_back({column - 1, 1, std::u32string(1, base), previous->style, previous->selected});
                previous = &out.runs.back();
            }
            previous->text += u;
            continue;
        }
        if (column + cells > firstColumn) {
            ShownRun* last = out.runs.empty() ? nullptr : &out.runs.back();
            if (!alone && last && last->style == style && last->selected == selected && last->column + last->cells == column &&
                !last->text.empty() && fitsCell(last->text.back()) && last->text.size() == last->cells) {
                last->text += u;
                ++last->cells;
            } else {
                out.runs.push_back({column, cells, u == '\t' ? std::u32string() : std::u32string(1, u), style, selected});
            }
        }
        column += cells;
    }
    out.endColumn = column;
    out.breakSelected = whole && selFrom <= end && selTo > end;
    if (whole) widest_ = std::max(widest_, column);
    return out;
}

}  // namespace torvic
