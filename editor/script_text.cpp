#include "editor/script_text.h"

#include <cstring>

namespace torvic {
namespace {

constexpr std::size_t kNever = static_cast<std::size_t>(-1);

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
// Letters, digits, '_' and every character beyond ASCII make words.
bool isWordByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || u == '_' || (u >= '0' && u <= '9') || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z');
}
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Where each line starts in `text` after `from` (a start follows each CR LF).
void addLineStarts(std::string_view text, std::size_t from, std::size_t to, std::size_t offset,
                   std::vector<std::size_t>& starts) {
    for (std::size_t i = text.find("\r\n", from); i != std::string_view::npos && i < to; i = text.find("\r\n", i + 2))
        starts.push_back(offset + i + 2);
}

}  // namespace

void ScriptText::setText(std::string text) {
    const std::size_t size = text.size();
    lineStarts_.assign(1, 0);
    addLineStarts(text, 0, size, 0, lineStarts_);
    // Taken over as it is, with what room for typing its string already has
    // after it: a large text is never held twice while it is taken (the
    // first edit makes room, when nothing else holds a copy).
    buffer_ = std::move(text);
    buffer_.resize(std::max(size, buffer_.capacity()));
    gapStart_ = size;
    gapEnd_ = buffer_.size();
    history_.clear();
    done_ = saved_ = 0;
    caret = anchor = 0;
    if (onChange) onChange(0, lineCount() - 1);
}

std::string_view ScriptText::text() {
    moveGap(size(), 0);
    return {buffer_.data(), size()};
}

std::string ScriptText::slice(std::size_t from, std::size_t to) const {
    to = std::min(to, size());
    from = std::min(from, to);
    std::string out;
    out.reserve(to - from);
    if (from < gapStart_) out.append(buffer_, from, std::min(to, gapStart_) - from);
    if (to > gapStart_) {
        const std::size_t a = std::max(from, gapStart_);
        out.append(buffer_, a + gapSize(), to - a);
    }
    return out;
}

std::size_t ScriptText::find(std::string_view what, std::size_t from) const {
    const std::size_t n = size();
    if (what.empty() || from >= n) return std::string_view::npos;
    // Before the gap, across it, after it.
    const std::string_view before(buffer_.data(), gapStart_);
    if (from < gapStart_)
        if (const std::size_t at = before.find(what, from); at != std::string_view::npos) return at;
    if (gapStart_ > 0 && gapStart_ < n) {
        const std::size_t a = std::max(from, gapStart_ >= what.size() ? gapStart_ - what.size() + 1 : 0);
        const std::string across = slice(a, std::min(n, gapStart_ + what.size() - 1));
        if (const std::size_t at = across.find(what); at != std::string::npos) return a + at;
    }
    const std::string_view after(buffer_.data() + gapEnd_, buffer_.size() - gapEnd_);
    const std::size_t start = from > gapStart_ ? from - gapStart_ : 0;
    const std::size_t at = after.find(what, start);
    return at == std::string_view::npos ? at : gapStart_ + at;
}

std::size_t ScriptText::lineEnd(std::size_t line) const {
    return line + 1 < lineStarts_.size() ? lineStarts_[line + 1] - 2 : size();
}

std::size_t ScriptText::lineOf(std::size_t pos) const {
    return static_cast<std::size_t>(std::upper_bound(lineStarts_.begin(), lineStarts_.end(), pos) -
                                    lineStarts_.begin()) - 1;
}

std::size_t ScriptText::cellsOf(char32_t u) {
    // Combining marks (diacritics, and those for symbols and half marks).
    if ((u >= 0x0300 && u < 0x0370) || (u >= 0x1AB0 && u < 0x1B00) || (u >= 0x1DC0 && u < 0x1E00) ||
        (u >= 0x20D0 && u < 0x2100) || (u >= 0xFE20 && u < 0xFE30) || u == 0x200D || (u >= 0xFE00 && u < 0xFE10))
        return 0;
    // East Asian wide and full-width characters, and pictographs.
    if ((u >= 0x1100 && u < 0x1160) || (u >= 0x2E80 && u < 0xA4D0 && u != 0x303F) || (u >= 0xAC00 && u < 0xD7A4) ||
        (u >= 0xF900 && u < 0xFB00) || (u >= 0xFE30 && u < 0xFE50) || (u >= 0xFF00 && u < 0xFF61) ||
        (u >= 0xFFE0 && u < 0xFFE7) || (u >= 0x1F300 && u < 0x1F650) || (u >= 0x1F900 && u < 0x1FA00) ||
        (u >= 0x20000 && u < 0x3FFFE))
        return 2;
    return 1;
}

char32_t ScriptText::characterAt(std::size_t pos, std::size_t& length) const {
    const auto lead = static_cast<unsigned char>(at(pos));
    const std::size_t n = size();
    length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t u = lead < 0x80 ? lead : lead < 0xE0 ? lead & 0x1F : lead < 0xF0 ? lead & 0x0F : lead & 0x07;
    for (std::size_t i = 1; i < length; ++i) {
        if (pos + i >= n || !isContinuation(at(pos + i))) {
            length = 1;  // not well formed: the byte alone
            return 0xFFFD;
        }
        u = (u << 6) | (static_cast<unsigned char>(at(pos + i)) & 0x3F);
    }
    return lead >= 0x80 && lead < 0xC0 ? 0xFFFD : u;
}

bool ScriptText::combiningAt(std::size_t pos) const {
    std::size_t length = 0;
    return pos < size() && static_cast<unsigned char>(at(pos)) >= 0xCC && cellsOf(characterAt(pos, length)) == 0;
}

std::size_t ScriptText::nextPosition(std::size_t pos) const {
    const std::size_t n = size();
    if (pos >= n) return n;
    if (at(pos) == '\r' && pos + 1 < n && at(pos + 1) == '\n') return pos + 2;
    // A character with the combining marks after it: one step.
    do {
        ++pos;
        while (pos < n && isContinuation(at(pos))) ++pos;
    } while (combiningAt(pos));
    return pos;
}

std::size_t ScriptText::previousPosition(std::size_t pos) const {
    pos = std::min(pos, size());
    if (pos == 0) return 0;
    if (pos >= 2 && at(pos - 1) == '\n' && at(pos - 2) == '\r') return pos - 2;
    do {
        --pos;
        while (pos > 0 && isContinuation(at(pos))) --pos;
    } while (pos > 0 && combiningAt(pos) && at(pos - 1) != '\n');
    return pos;
}

std::size_t ScriptText::nextWord(std::size_t pos) const {
    const std::size_t n = size();
    if (pos >= n) return n;
    if (at(pos) == '\r' && pos + 1 < n && at(pos + 1) == '\n') return pos + 2;
    if (isWordByte(at(pos)))
        while (pos < n && isWordByte(at(pos))) ++pos;
    else if (!isBlank(at(pos)))
        pos = nextPosition(pos);
    while (pos < n && isBlank(at(pos))) ++pos;
    return pos;
}

std::size_t ScriptText::previousWord(std::size_t pos) const {
    pos = std::min(pos, size());
    if (pos == 0) return 0;
    if (pos >= 2 && at(pos - 1) == '\n' && at(pos - 2) == '\r') return pos - 2;
    const std::size_t start = lineStart(lineOf(pos));
    while (pos > start && isBlank(at(pos - 1))) --pos;
    if (pos > start && isWordByte(at(pos - 1))) {
        while (pos > start && isWordByte(at(pos - 1))) --pos;
        return pos;
    }
    return pos > start ? previousPosition(pos) : pos;
}

std::pair<std::size_t, std::size_t> ScriptText::wordAt(std::size_t pos) const {
    const std::size_t line = lineOf(std::min(pos, size()));
    const std::size_t start = lineStart(line), end = lineEnd(line);
    pos = std::min(std::max(pos, start), end);
    std::size_t a = pos, b = pos;
    while (a > start && isWordByte(at(a - 1))) --a;
    while (b < end && isWordByte(at(b))) ++b;
    if (a == b && b < end) b = nextPosition(b);
    return {a, b};
}

std::size_t ScriptText::cellsBetween(std::size_t from, std::size_t to) const {
    std::size_t cells = 0;
    for (std::size_t i = from, length = 1; i < to; i += length) {
        const char c = at(i);
        length = 1;
        if (c == '\t')
            cells = (cells / kTabWidth + 1) * kTabWidth;
        else if (static_cast<unsigned char>(c) < 0x80)
            ++cells;
        else if (!isContinuation(c))
            cells += cellsOf(characterAt(i, length));
    }
    return cells;
}

std::size_t ScriptText::columnOf(std::size_t pos) const {
    pos = std::min(pos, size());
    return cellsBetween(lineStart(lineOf(pos)), pos);
}

std::size_t ScriptText::positionAt(std::size_t line, std::size_t column) const {
    std::size_t pos = lineStart(line), cells = 0;
    const std::size_t end = lineEnd(line);
    while (pos < end && cells < column) {
        const std::size_t next = nextPosition(pos);
        const std::size_t after = at(pos) == '\t' ? (cells / kTabWidth + 1) * kTabWidth : cells + cellsBetween(pos, next);
        // Within a tab or a wide character, the nearer of its two sides.
        if (after > column && (column - cells) * 2 < after - cells) break;
        pos = next;
        cells = after;
    }
    return pos;
}

void ScriptText::moveGap(std::size_t pos, std::size_t room) {
    if (gapSize() < room) {
        // Grows by an eighth of the text: amortised, and little beside it.
        const std::size_t length = size();
        const std::size_t gap = room + std::max<std::size_t>(length / 8, 4096);
        std::string grown(length + gap, '\0');
        std::memcpy(grown.data(), buffer_.data(), gapStart_);
        std::memcpy(grown.data() + gapStart_ + gap, buffer_.data() + gapEnd_, buffer_.size() - gapEnd_);
        buffer_ = std::move(grown);
        gapEnd_ = gapStart_ + gap;
    }
    if (pos < gapStart_) {
        const std::size_t n = gapStart_ - pos;
        std::memmove(buffer_.data() + gapEnd_ - n, buffer_.data() + pos, n);
        gapStart_ = pos;
        gapEnd_ -= n;
    } else if (pos > gapStart_) {
        const std::size_t n = pos - gapStart_;
        std::memmove(buffer_.data() + gapStart_, buffer_.data() + gapEnd_, n);
        gapStart_ = pos;
        gapEnd_ += n;
    }
}

void ScriptText::apply(std::size_t pos, std::size_t removed, std::string_view inserted) {
    if (beforeEdit) beforeEdit(pos, removed, inserted);
    moveGap(pos + removed, inserted.size() > removed ? inserted.size() - removed : 0);
    // Removing is moving the gap's start back; inserting fills it.
    gapStart_ = pos;
    if (!inserted.empty()) std::memcpy(buffer_.data() + gapStart_, inserted.data(), inserted.size());
    gapStart_ += inserted.size();

    // The index: starts whose CR LF the edit touched go; those after it
    // shift; the new text, with one byte either side, is searched for
    // CR LF pairs it made.
    auto first = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), pos);
    auto last = std::upper_bound(first, lineStarts_.end(), pos + removed + 1);
    const std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(inserted.size()) - static_cast<std::ptrdiff_t>(removed);
    for (auto it = last; it != lineStarts_.end(); ++it) *it = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(*it) + delta);
    std::vector<std::size_t> made;
    const std::size_t scanFrom = pos > 0 ? pos - 1 : 0;
    const std::size_t scanTo = std::min(pos + inserted.size() + 1, size());
    // (A pair whose CR is the stretch's last byte was kept above.)
    addLineStarts(slice(scanFrom, scanTo), 0, scanTo - scanFrom, scanFrom, made);
    const auto at = lineStarts_.erase(first, last);
    lineStarts_.insert(at, made.begin(), made.end());
    if (onChange) onChange(lineOf(pos), lineOf(std::min(pos + inserted.size() + 1, size())));
}

void ScriptText::replace(std::size_t pos, std::size_t removed, std::string_view inserted, bool typing) {
    pos = std::min(pos, size());
    removed = std::min(removed, size() - pos);
    if (removed == 0 && inserted.empty()) return;
    if (done_ < history_.size()) {
        history_.resize(done_);
        if (saved_ > done_) saved_ = kNever;  // the saved state cannot come back
    }
    // A run a step may join: typing on, or Backspace (the caret after what
    // goes) or Delete (the caret before it) again.
    const Run run = !typing ? Run::None
                    : !inserted.empty() ? Run::Typing
                    : caret == pos ? Run::Forward
                                   : Run::Back;
    Step* last = done_ > 0 ? &history_[done_ - 1] : nullptr;
    const bool joins = run != Run::None && last && last->run == run && saved_ != done_;
    if (joins && run == Run::Typing && removed == 0 && last->pos + last->inserted.size() == pos) {
        last->inserted += inserted;
    } else if (joins && run == Run::Back && pos + removed == last->pos) {
        last->removed.insert(0, slice(pos, pos + removed));
        last->pos = pos;
    } else if (joins && run == Run::Forward && pos == last->pos) {
        last->removed += slice(pos, pos + removed);
    } else {
        history_.push_back({pos, slice(pos, pos + removed), std::string(inserted), run});
        ++done_;
    }
    apply(pos, removed, inserted);
    caret = anchor = pos + inserted.size();
}

bool ScriptText::undo() {
    if (!canUndo()) return false;
    const Step& step = history_[--done_];
    apply(step.pos, step.inserted.size(), step.removed);
    // Where the caret was before the step (a run of Delete: at its start).
    caret = anchor = step.pos + (step.run == Run::Forward ? 0 : step.removed.size());
    return true;
}

bool ScriptText::redo() {
    if (!canRedo()) return false;
    const Step& step = history_[done_++];
    apply(step.pos, step.removed.size(), step.inserted);
    caret = anchor = step.pos + step.inserted.size();
    return true;
}

void ScriptText::setModified(bool modified) {
    if (!modified)
        saved_ = done_;
    else if (saved_ == done_)
        saved_ = kNever;
}

}  // namespace torvic
