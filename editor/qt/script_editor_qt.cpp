#include "editor/qt/script_editor_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include "base/text_encoding.h"
#include "editor/qt/qt_text.h"

namespace torvic::qt {
namespace {

// Where a character code page 1252 cannot hold stands, in the text and in
// the gutter.
const QColor kOutside1252Colour(255, 190, 190);
const QColor kRunLineColour(200, 235, 200);
// Lines longer than this are drawn by the stretch in sight only, and
// plainly: reading them whole on every paint would cost a key its speed.
constexpr std::size_t kLongLine = 1 << 16;
constexpr int kPad = 3;  // between the gutter and the text

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
// How a character is drawn: a lone CR or LF as its mark, other control
// characters as their pictures.
char32_t shown(char32_t u) {
    if (u == '\r') return 0x240D;
    if (u == '\n') return 0x240A;
    if (u < 0x20) return 0x2400 + u;
    return u == 0x7F ? 0x2421 : u;
}

// Characters a fixed-pitch font draws in one cell: they go in runs; others
// are drawn each in its own cell so that the columns stay true.
bool fitsCell(char32_t u) { return u < 0x0300 || (u >= 0x0370 && u < 0x2000); }

class Gutter : public QWidget {
public:
    explicit Gutter(EditorBox* editor) : QWidget(editor), editor_(editor) {}

protected:
    void paintEvent(QPaintEvent* event) override { editor_->paintGutter(event); }
    void mousePressEvent(QMouseEvent*) override { editor_->setFocus(); }

private:
    EditorBox* editor_;
};

void drawWave(QPainter& p, int x0, int x1, int y) {
    QPainterPath path;
    path.moveTo(x0, y);
    for (int x = x0, up = 1; x < x1; x += 2, up = -up) path.lineTo(std::min(x + 2, x1), y - up);
    p.setPen(QPen(Qt::red, 1));
    p.drawPath(path);
}

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

EditorBox::EditorBox(QWidget* parent) : QAbstractScrollArea(parent) {
    gutter_ = new Gutter(this);
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    text_.onChange = [this](std::size_t line) { changed(line); };
    const int flash = QApplication::cursorFlashTime();
    blink_.setInterval(flash > 0 ? flash / 2 : 500);
    connect(&blink_, &QTimer::timeout, this, [this] {
        caretShown_ = !caretShown_;
        viewport()->update(cursorRect().adjusted(-1, -1, 1, 1));
    });
    placeGutter();
}

void EditorBox::setClassifier(std::function<LineKind(std::string_view)> classify) {
    classify_ = std::move(classify);
    viewport()->update();
}

int EditorBox::lineHeight() const { return std::max(1, fontMetrics().height()); }
int EditorBox::cellWidth() const { return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M'))); }
int EditorBox::shownLines() const { return std::max(1, viewport()->height() / lineHeight()); }
int EditorBox::firstShownLine() const { return verticalScrollBar()->value(); }

void EditorBox::setText(std::string utf8) {
    text_.setText(std::move(utf8));
    widest_ = 0;
    for (std::size_t l = 0; l < text_.lineCount(); ++l) widest_ = std::max(widest_, text_.lineLength(l));
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    afterEdit();
}

void EditorBox::changed(std::size_t firstLine) {
    // Lines after the change may number differently; those before do not.
    runKnown_ = std::min(runKnown_, firstLine + 1);
    runBefore_.resize(text_.lineCount() + 1);
    runKnown_ = std::min(runKnown_, runBefore_.size());
    const std::size_t marker = std::min(text_.size(), kEncodedMarker.size());
    encoded_ = isEncodedScript(text_.slice(0, marker));
}

void EditorBox::afterEdit() {
    const std::size_t line = text_.lineOf(text_.caret);
    widest_ = std::max(widest_, text_.lineLength(line));
    placeGutter();
    ensureCaretVisible();
    viewport()->update();
    gutter_->update();
    if (onTextChanged) onTextChanged();
}

void EditorBox::replaceSelection(std::string_view utf8, bool typing) {
    const std::size_t from = text_.selectionStart();
    text_.replace(from, text_.selectionEnd() - from, utf8, typing);
    wantedColumnKept_ = false;
    afterEdit();
}

void EditorBox::replaceAll(std::string_view utf8) {
    text_.replace(0, text_.size(), utf8);
    afterEdit();
}

void EditorBox::setCaret(std::size_t caret, std::size_t anchor) {
    text_.caret = std::min(caret, text_.size());
    text_.anchor = std::min(anchor, text_.size());
    wantedColumnKept_ = false;
    ensureCaretVisible();
    viewport()->update();
}

void EditorBox::undo() {
    if (text_.undo()) afterEdit();
}

void EditorBox::redo() {
    if (text_.redo()) afterEdit();
}

void EditorBox::copy() {
    if (text_.caret == text_.anchor) return;
    QString selected = QString::fromUtf8(text_.slice(text_.selectionStart(), text_.selectionEnd()));
    selected.replace(QLatin1String("\r\n"), QLatin1String("\n"));  // the desktop's line breaks
    QApplication::clipboard()->setText(selected);
}

void EditorBox::cut() {
    if (text_.caret == text_.anchor) return;
    copy();
    replaceSelection({});
}

void EditorBox::paste() {
    QString pasted = QApplication::clipboard()->text();
    if (pasted.isEmpty()) return;
    // Any line break becomes CR LF; a NUL has no place in a script.
    pasted.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    pasted.remove(QChar(0));
    pasted.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    replaceSelection(pasted.toStdString());
}

int EditorBox::runNumber(std::size_t line) {
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

void EditorBox::markRunLine(int index) {
    if (index == marked_) return;
    marked_ = index;
    viewport()->update();
    gutter_->update();
}

std::string EditorBox::lineForClassifier(std::size_t line) const {
    return utf8To1252(text_.slice(text_.lineStart(line), std::min(text_.lineEnd(line), text_.lineStart(line) + kLongLine)));
}

LineKind EditorBox::classify(std::size_t line) {
    return classify_ ? classify_(lineForClassifier(line)) : LineKind::Command;
}

std::vector<StyledStretch> EditorBox::lineStyles(std::size_t line) {
    return styleLine(text_.lineText(line), classify(line), classify_ && !encoded_);
}

QRect EditorBox::cursorRect() {
    const std::size_t line = text_.lineOf(text_.caret);
    const int x = static_cast<int>(text_.columnOf(text_.caret)) * cellWidth() - horizontalScrollBar()->value() + kPad;
    const int y = (static_cast<int>(line) - firstShownLine()) * lineHeight();
    return {x - 1, y, 2, lineHeight()};
}

void EditorBox::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QPalette& pal = palette();
    p.fillRect(event->rect(), pal.color(QPalette::Base));
    const int lh = lineHeight(), cw = cellWidth(), ascent = fontMetrics().ascent();
    const int hscroll = horizontalScrollBar()->value();
    const std::size_t firstColumn = static_cast<std::size_t>(std::max(0, hscroll - kPad) / cw);
    const std::size_t lastColumn = firstColumn + static_cast<std::size_t>(viewport()->width() / cw) + 2;
    const std::size_t selFrom = text_.selectionStart(), selTo = text_.selectionEnd();
    QFont plain = font(), bold = font(), italic = font();
    bold.setBold(true);
    italic.setItalic(true);

    // Only the rows the paint asks for (the caret's blink asks for one).
    const std::size_t firstRow = static_cast<std::size_t>(std::max(0, event->rect().top()) / lh);
    const std::size_t first = static_cast<std::size_t>(firstShownLine()) + firstRow;
    for (std::size_t line = first, row = firstRow; line < text_.lineCount() && static_cast<int>(row) * lh <= event->rect().bottom();
         ++line, ++row) {
        const int top = static_cast<int>(row) * lh;
        if (marked_ >= 0 && runNumber(line) == marked_) p.fillRect(0, top, viewport()->width(), lh, kRunLineColour);
        const std::size_t start = text_.lineStart(line), end = text_.lineEnd(line);
        // The stretch drawn: the whole line, or past kLongLine the columns in sight.
        std::size_t from = start, fromColumn = 0;
        std::vector<StyledStretch> styles;
        std::string text;
        if (end - start <= kLongLine) {
            text = text_.slice(start, end);
            styles = styleLine(text, classify(line), classify_ && !encoded_);
        } else {
            from = text_.positionAt(line, firstColumn);
            fromColumn = text_.columnOf(from);
            text = text_.slice(from, text_.positionAt(line, lastColumn));
            styles = styleLine(text, LineKind::Command, false);
        }
        std::size_t column = fromColumn, stretch = 0;
        QString run;
        int runX = 0;
        TextStyle runStyle;
        bool runSelected = false;
        auto flush = [&] {
            if (run.isEmpty()) return;
            const int width = static_cast<int>(run.size()) * cw;
            QColor ink = pal.color(QPalette::Text);
            p.setFont(runStyle.kind == TextStyle::Keyword ? bold : runStyle.kind == TextStyle::Comment ? italic : plain);
            if (runStyle.kind == TextStyle::Keyword) ink = QColor(0, 0, 160);
            if (runStyle.kind == TextStyle::Comment) ink = QColor(110, 110, 110);
            if (runSelected) {
                p.fillRect(runX, top, width, lh, pal.color(QPalette::Highlight));
                ink = pal.color(QPalette::HighlightedText);
            } else if (runStyle.outside1252) {
                p.fillRect(runX, top, width, lh, kOutside1252Colour);
            }
            p.setPen(ink);
            p.drawText(runX, top + ascent, run);
            if (runStyle.wave) drawWave(p, runX, runX + width, top + lh - 2);
            run.clear();
        };
        for (std::size_t i = 0, length = 0; i < text.size() && column <= lastColumn; i += length) {
            const char32_t u = shown(characterAt(text, i, length));
            while (stretch + 1 < styles.size() && styles[stretch].to <= i) ++stretch;
            const TextStyle style = styles.empty() ? TextStyle{} : styles[stretch].style;
            const bool selected = from + i >= selFrom && from + i < selTo;
            const int x = static_cast<int>(column) * cw - hscroll + kPad;
            const std::size_t cells = u == '\t' ? (column / ScriptText::kTabWidth + 1) * ScriptText::kTabWidth - column : 1;
            if (!run.isEmpty() && (style != runStyle || selected != runSelected || !fitsCell(u) || u == '\t')) flush();
            if (u == '\t' || !fitsCell(u)) {
                runStyle = style;
                runSelected = selected;
                runX = x;
                if (u != '\t') run = QString::fromUcs4(&u, 1);
                else run = QString(static_cast<qsizetype>(cells), QLatin1Char(' '));
                flush();
            } else {
                if (run.isEmpty()) {
                    runStyle = style;
                    runSelected = selected;
                    runX = x;
                }
                run += QString::fromUcs4(&u, 1);
            }
            column += cells;
        }
        flush();
        // A selection going on past the line's end covers its line break.
        if (selFrom <= end && selTo > end && end - start <= kLongLine)
            p.fillRect(static_cast<int>(column) * cw - hscroll + kPad, top, cw, lh, pal.color(QPalette::Highlight));
        if (column > widest_ && end - start <= kLongLine) {
            widest_ = column;
            QMetaObject::invokeMethod(this, [this] { updateScrollBars(); }, Qt::QueuedConnection);
        }
    }
    if (hasFocus() && caretShown_) p.fillRect(cursorRect(), pal.color(QPalette::Text));
}

int EditorBox::gutterWidth() const {
    int digits = 1;
    for (std::size_t n = std::max<std::size_t>(1, text_.lineCount()); n >= 10; n /= 10) ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void EditorBox::paintGutter(QPaintEvent* event) {
    QPainter p(gutter_);
    p.fillRect(event->rect(), QColor(236, 236, 236));
    p.setFont(font());
    const int lh = lineHeight();
    const int top0 = viewport()->geometry().top() - gutter_->geometry().top();
    std::size_t line = static_cast<std::size_t>(firstShownLine());
    for (int top = top0; line < text_.lineCount() && top <= event->rect().bottom(); ++line, top += lh) {
        const int number = runNumber(line);
        if (number < 0) continue;
        const bool running = number == marked_;
        if (running)
            p.fillRect(0, top, gutter_->width(), lh, QColor(120, 190, 120));
        else if (holdsOutside1252(text_.slice(text_.lineStart(line),
                                              std::min(text_.lineEnd(line), text_.lineStart(line) + kLongLine))))
            p.fillRect(0, top, gutter_->width(), lh, kOutside1252Colour);
        p.setPen(running ? Qt::black : QColor(120, 120, 120));
        p.drawText(0, top, gutter_->width() - 4, lh, Qt::AlignRight, QString::number(number));
    }
}

void EditorBox::updateScrollBars() {
    const int lines = static_cast<int>(std::min<std::size_t>(text_.lineCount(), INT_MAX / 2));
    verticalScrollBar()->setRange(0, std::max(0, lines - shownLines()));
    verticalScrollBar()->setPageStep(shownLines());
    verticalScrollBar()->setSingleStep(1);
    const long long wide = static_cast<long long>(widest_ + 2) * cellWidth() + kPad - viewport()->width();
    horizontalScrollBar()->setRange(0, static_cast<int>(std::clamp<long long>(wide, 0, INT_MAX / 2)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(cellWidth());
}

void EditorBox::ensureCaretVisible() {
    updateScrollBars();
    const int line = static_cast<int>(text_.lineOf(text_.caret));
    const int first = firstShownLine(), count = shownLines();
    if (line < first)
        verticalScrollBar()->setValue(line);
    else if (line >= first + count)
        verticalScrollBar()->setValue(line - count + 1);
    const long long x = static_cast<long long>(text_.columnOf(text_.caret)) * cellWidth();
    const int hscroll = horizontalScrollBar()->value(), width = viewport()->width() - 2 * kPad;
    if (x < hscroll)
        horizontalScrollBar()->setValue(static_cast<int>(std::max(0LL, x - width / 4)));
    else if (x > hscroll + width - cellWidth())
        horizontalScrollBar()->setValue(static_cast<int>(x - width + 4 * cellWidth()));
}

void EditorBox::scrollContentsBy(int, int) {
    viewport()->update();
    gutter_->update();
}

std::size_t EditorBox::positionAtPoint(const QPoint& point) const {
    const long long line = firstShownLine() + std::max(0, point.y()) / lineHeight();
    const std::size_t l = static_cast<std::size_t>(std::min<long long>(line, static_cast<long long>(text_.lineCount()) - 1));
    const int x = point.x() + horizontalScrollBar()->value() - kPad;
    const std::size_t column = static_cast<std::size_t>(std::max(0, (x + cellWidth() / 2) / cellWidth()));
    return text_.positionAt(l, column);
}

void EditorBox::moveCaret(std::size_t pos, bool extend, bool keepColumn) {
    if (!keepColumn) wantedColumnKept_ = false;
    text_.caret = pos;
    if (!extend) text_.anchor = pos;
    caretShown_ = true;
    if (hasFocus()) blink_.start();
    ensureCaretVisible();
    viewport()->update();
}

bool EditorBox::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        // The menu accelerators win over the editor's own keys (Ctrl+A is "save as").
        if (isMenuShortcut && isMenuShortcut(QKeySequence(key->keyCombination()))) return true;
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) || key->matches(QKeySequence::Copy) ||
            key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste)) {
            e->accept();
            return true;
        }
    }
    // Tab types a tab; Shift+Tab goes on to the control before.
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

bool EditorBox::handleEditKey(QKeyEvent* e) {
    if (e->matches(QKeySequence::Undo)) return undo(), true;
    if (e->matches(QKeySequence::Redo)) return redo(), true;
    if (e->matches(QKeySequence::Copy)) return copy(), true;
    if (e->matches(QKeySequence::Cut)) return cut(), true;
    if (e->matches(QKeySequence::Paste)) return paste(), true;
    const bool shift = e->modifiers() & Qt::ShiftModifier, ctrl = e->modifiers() & Qt::ControlModifier;
    const std::size_t caret = text_.caret;
    const bool selection = text_.caret != text_.anchor;
    const std::size_t line = text_.lineOf(caret);
    auto vertical = [&](long long lines) {
        if (!wantedColumnKept_) {
            wantedColumn_ = text_.columnOf(caret);
            wantedColumnKept_ = true;
        }
        const long long to = std::clamp<long long>(static_cast<long long>(line) + lines, 0,
                                                   static_cast<long long>(text_.lineCount()) - 1);
        moveCaret(text_.positionAt(static_cast<std::size_t>(to), wantedColumn_), shift, true);
    };
    switch (e->key()) {
        case Qt::Key_Left:
            if (selection && !shift) return moveCaret(text_.selectionStart(), false), true;
            return moveCaret(ctrl ? text_.previousWord(caret) : text_.previousPosition(caret), shift), true;
        case Qt::Key_Right:
            if (selection && !shift) return moveCaret(text_.selectionEnd(), false), true;
            return moveCaret(ctrl ? text_.nextWord(caret) : text_.nextPosition(caret), shift), true;
        case Qt::Key_Up: return vertical(-1), true;
        case Qt::Key_Down: return vertical(1), true;
        case Qt::Key_PageUp:
            verticalScrollBar()->setValue(firstShownLine() - shownLines());
            return vertical(-shownLines()), true;
        case Qt::Key_PageDown:
            verticalScrollBar()->setValue(firstShownLine() + shownLines());
            return vertical(shownLines()), true;
        case Qt::Key_Home: return moveCaret(ctrl ? 0 : text_.lineStart(line), shift), true;
        case Qt::Key_End: return moveCaret(ctrl ? text_.size() : text_.lineEnd(line), shift), true;
        case Qt::Key_Backspace:
            if (!selection) text_.anchor = ctrl ? text_.previousWord(caret) : text_.previousPosition(caret);
            return replaceSelection({}), true;
        case Qt::Key_Delete:
            if (shift && !selection) return false;
            if (shift) return cut(), true;
            if (!selection) text_.anchor = ctrl ? text_.nextWord(caret) : text_.nextPosition(caret);
            return replaceSelection({}), true;
        case Qt::Key_Return:
        case Qt::Key_Enter: return replaceSelection("\r\n"), true;
        case Qt::Key_Tab: return replaceSelection("\t", true), true;
        default: break;
    }
    const QString typed = e->text();
    if (typed.isEmpty() || (ctrl && !(e->modifiers() & Qt::AltModifier))) return false;
    for (QChar c : typed)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    replaceSelection(typed.toStdString(), true);
    return true;
}

void EditorBox::keyPressEvent(QKeyEvent* e) {
    if (!handleEditKey(e)) {
        e->ignore();
        return;
    }
    caretShown_ = true;
    if (hasFocus()) blink_.start();
}

void EditorBox::keyReleaseEvent(QKeyEvent* e) {
    QAbstractScrollArea::keyReleaseEvent(e);
    if (onKeyUp) onKeyUp();
}

void EditorBox::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton) return;
    const std::size_t pos = positionAtPoint(e->position().toPoint());
    moveCaret(pos, e->modifiers() & Qt::ShiftModifier);
}

void EditorBox::mouseMoveEvent(QMouseEvent* e) {
    if (e->buttons() & Qt::LeftButton) moveCaret(positionAtPoint(e->position().toPoint()), true);
}

void EditorBox::mouseReleaseEvent(QMouseEvent* e) {
    QAbstractScrollArea::mouseReleaseEvent(e);
    if (onClick) onClick();
}

void EditorBox::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const auto [from, to] = text_.wordAt(positionAtPoint(e->position().toPoint()));
    text_.anchor = from;
    moveCaret(to, true);
}

void EditorBox::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    const bool selection = text_.caret != text_.anchor;
    menu.addAction(QString::fromUtf8("&Desfés"), this, [this] { undo(); })->setEnabled(text_.canUndo());
    menu.addAction(QString::fromUtf8("&Refés"), this, [this] { redo(); })->setEnabled(text_.canRedo());
    menu.addSeparator();
    menu.addAction(QString::fromUtf8("&Retalla"), this, [this] { cut(); })->setEnabled(selection);
    menu.addAction(QString::fromUtf8("&Copia"), this, [this] { copy(); })->setEnabled(selection);
    menu.addAction(QString::fromUtf8("&Enganxa"), this, [this] { paste(); })
        ->setEnabled(!QApplication::clipboard()->text().isEmpty());
    menu.addAction(QString::fromUtf8("&Suprimeix"), this, [this] { replaceSelection({}); })->setEnabled(selection);
    menu.addSeparator();
    menu.addAction(QString::fromUtf8("Selecciona-ho &tot"), this, [this] { selectAll(); });
    menu.exec(e->globalPos());
}

void EditorBox::inputMethodEvent(QInputMethodEvent* e) {
    if (!e->commitString().isEmpty()) replaceSelection(e->commitString().toStdString(), true);
    e->accept();
}

QVariant EditorBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
        case Qt::ImEnabled: return true;
        case Qt::ImCursorRectangle: return const_cast<EditorBox*>(this)->cursorRect().translated(viewport()->pos());
        default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void EditorBox::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    caretShown_ = true;
    blink_.start();
    viewport()->update();
}

void EditorBox::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    blink_.stop();
    viewport()->update();
}

void EditorBox::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    placeGutter();
}

void EditorBox::placeGutter() {
    // The gutter widens with the number of lines.
    const int width = gutterWidth();
    if (viewportMargins().left() != width) setViewportMargins(width, 0, 0, 0);
    const QRect area = contentsRect();
    gutter_->setGeometry(area.left(), area.top(), width, viewport()->height());
    updateScrollBars();
}

}  // namespace torvic::qt
