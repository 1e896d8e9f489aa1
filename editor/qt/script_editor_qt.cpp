#include "editor/qt/script_editor_qt.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMimeData>
#include <QWheelEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTextCharFormat>
#include <QPainterPath>
#include <QScrollBar>
#include <QtMath>

#include <cmath>

#include "editor/qt/script_box_accessible_qt.h"


namespace torvic::qt {
namespace {

QColor toQt(Rgb c) { return QColor(c.r, c.g, c.b); }
Rgb fromQt(const QColor& c) {
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()), static_cast<std::uint8_t>(c.blue())};
}
constexpr int kPad = 3;  // between the gutter and the text
constexpr int kMeasured = 128;  // characters measured for the cell's width

class Gutter : public QWidget {
public:
    explicit Gutter(EditorBox* editor) : QWidget(editor), editor_(editor) {}

protected:
    void paintEvent(QPaintEvent* event) override { editor_->paintGutter(event); }
    void mousePressEvent(QMouseEvent*) override { editor_->setFocus(); }

private:
    EditorBox* editor_;
};

void drawWave(QPainter& p, int x0, int x1, int y, const QColor& colour) {
    QPainterPath path;
    path.moveTo(x0, y);
    for (int x = x0, up = 1; x < x1; x += 2, up = -up) path.lineTo(std::min(x + 2, x1), y - up);
    p.setPen(QPen(colour, 1));
    p.drawPath(path);
}

}  // namespace

EditorBox::EditorBox(QWidget* parent) : QAbstractScrollArea(parent) {
    gutter_ = new Gutter(this);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    // The caret blinks as the desktop says (a flash time of 0: it does not).
    blink_.setInterval(std::max(1, QApplication::cursorFlashTime() / 2));
    connect(&blink_, &QTimer::timeout, this, [this] {
        if (QApplication::cursorFlashTime() <= 0) return blink_.stop();
        caretShown_ = !caretShown_;
        viewport()->update(cursorRect().adjusted(-1, -1, 1, 1));
    });
    dragScroll_.setInterval(50);
    connect(&dragScroll_, &QTimer::timeout, this,
            [this] { dragTo(dragAt_); });
    placeGutter();
    installScriptBoxAccessibility();
    // Each edit, for accessibility, while it listens (the offset is read
    // before the edit, where it still holds).
    script().beforeEdit = [this](std::size_t pos, std::size_t removed, std::string_view inserted) {
        if (!QAccessible::isActive()) return;
        textEvents_.push_back({static_cast<int>(editing_.unitsBefore(pos)),
                               QString::fromUtf8(script().slice(pos, pos + removed)),
                               QString::fromUtf8(inserted.data(), static_cast<qsizetype>(inserted.size()))});
    };
}

void EditorBox::setClassifier(std::function<LineKind(std::string_view)> classify) {
    editing_.classify = std::move(classify);
    viewport()->update();
}

int EditorBox::lineHeight() const { return std::max(1, fontMetrics().height()); }
qreal EditorBox::cellWidth() const {
    // The advance the text is drawn with, fractional (7.8 px, not 8): a
    // long run measured whole, so that clicks, the caret and the selection
    // fall where the characters are, at any scale and resolution.
    if (cell_ <= 0) {
        const QFontMetricsF metrics(font(), viewport());
        cell_ = std::max<qreal>(1, metrics.horizontalAdvance(QString(kMeasured, QLatin1Char('M'))) / kMeasured);
    }
    return cell_;
}

const BoxColours& EditorBox::colours() const {
    // From the palette (the desktop's scheme), worked out again when it changes.
    if (!colours_) {
        const QPalette& pal = palette();
        colours_ = boxColours(fromQt(pal.color(QPalette::Base)), fromQt(pal.color(QPalette::Text)),
                              fromQt(pal.color(QPalette::Highlight)), fromQt(pal.color(QPalette::HighlightedText)), false);
    }
    return *colours_;
}

qreal EditorBox::columnX(std::size_t column) const {
    return static_cast<qreal>(column) * cellWidth() - horizontalScrollBar()->value() + kPad;
}
int EditorBox::shownLines() const { return std::max(1, viewport()->height() / lineHeight()); }
int EditorBox::firstShownLine() const { return verticalScrollBar()->value(); }

void EditorBox::setText(std::string utf8) {
    if (QAccessible::isActive()) textEvents_.push_back({0, QString::fromUtf8(script().text()), QString::fromUtf8(utf8)});
    editing_.setText(std::move(utf8));
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    afterEdit();
}

void EditorBox::afterEdit() {
    placeGutter();
    redraw(editing_.redrawAfterEdit());
    tellAccessibility();
    caretMoved();
    if (onTextChanged) onTextChanged();
}

void EditorBox::caretMoved() {
    // Drawn again: the caret where it was and where it is, and the
    // selection's lines.
    viewport()->update(caretDrawn_);
    redraw(editing_.redrawAfterCaretMove());
    caretShown_ = true;
    if (hasFocus()) blink_.start();
    ensureCaretVisible();
    caretDrawn_ = cursorRect().adjusted(-1, -1, 1, 1);
    viewport()->update(caretDrawn_);
    if (QAccessible::isActive()) {
        const ScriptText& t = script();
        QAccessibleTextCursorEvent moved(this, static_cast<int>(editing_.unitsBefore(t.caret)));
        QAccessible::updateAccessibility(&moved);
        if (t.caret != t.anchor) {
            QAccessibleTextSelectionEvent selected(this, static_cast<int>(editing_.unitsBefore(t.selectionStart())),
                                                   static_cast<int>(editing_.unitsBefore(t.selectionEnd())));
            QAccessible::updateAccessibility(&selected);
        }
    }
}

void EditorBox::tellAccessibility() {
    for (const TextEvent& e : textEvents_) {
        if (!e.removed.isEmpty()) {
            QAccessibleTextRemoveEvent removed(this, e.offset, e.removed);
            QAccessible::updateAccessibility(&removed);
        }
        if (!e.inserted.isEmpty()) {
            QAccessibleTextInsertEvent inserted(this, e.offset, e.inserted);
            QAccessible::updateAccessibility(&inserted);
        }
    }
    textEvents_.clear();
}

void EditorBox::insertText(std::string_view utf8) {
    if (utf8.empty()) return replaceSelection({});
    editing_.paste(utf8);
    afterEdit();
}

QRect EditorBox::characterRect(std::size_t pos) const {
    const ScriptText& text = editing_.text();
    const std::size_t line = text.lineOf(pos), column = text.columnOf(pos);
    const int x = qRound(columnX(column)), next = qRound(columnX(column + 1));
    return {x, (static_cast<int>(line) - firstShownLine()) * lineHeight(), next - x, lineHeight()};
}

void EditorBox::scrollToLine(std::size_t line) {
    const auto l = static_cast<int>(std::min<std::size_t>(line, INT_MAX / 2));
    if (l < firstShownLine() || l >= firstShownLine() + shownLines()) verticalScrollBar()->setValue(l);
}

void EditorBox::redraw(const ScriptEditing::Redraw& lines) {
    if (!lines.any()) return;
    const long long lh = lineHeight(), first = firstShownLine();
    auto rows = [&](std::size_t from, std::size_t to) {
        const long long top = (static_cast<long long>(from) - first) * lh;
        const long long bottom = to == ScriptEditing::kToBottom ? viewport()->height()
                                                                : (static_cast<long long>(to) - first + 1) * lh;
        if (bottom < 0 || top > viewport()->height()) return QRect();
        const int y = static_cast<int>(std::max(0LL, top));
        return QRect(0, y, viewport()->width(), static_cast<int>(std::min<long long>(bottom, viewport()->height())) - y);
    };
    const QRect changed = rows(lines.from, lines.to);
    viewport()->update(changed);
    gutter_->update(0, changed.y(), gutter_->width(), changed.height());
    if (lines.numbersBelow) {
        const QRect below = rows(lines.from, ScriptEditing::kToBottom);
        gutter_->update(0, below.y(), gutter_->width(), below.height());
    }
}

void EditorBox::replaceSelection(std::string_view utf8, bool typing) {
    editing_.replaceSelection(utf8, typing);
    afterEdit();
}

void EditorBox::replaceAll(std::string_view utf8) {
    editing_.replaceAll(utf8);
    afterEdit();
}

void EditorBox::setCaret(std::size_t caret, std::size_t anchor) {
    editing_.setCaret(caret, anchor);
    caretMoved();
}

void EditorBox::undo() {
    if (editing_.undo()) afterEdit();
}

void EditorBox::redo() {
    if (editing_.redo()) afterEdit();
}

void EditorBox::copy() {
    if (editing_.hasSelection()) QApplication::clipboard()->setText(QString::fromStdString(editing_.selectionForClipboard()));
}

void EditorBox::cut() {
    if (!editing_.hasSelection()) return;
    copy();
    replaceSelection({});
}

void EditorBox::paste() {
    const QString pasted = QApplication::clipboard()->text();
    if (pasted.isEmpty()) return;
    editing_.paste(pasted.toStdString());
    afterEdit();
}

void EditorBox::markRunLine(int index) {
    if (index == editing_.marked) return;
    editing_.marked = index;
    viewport()->update();
    gutter_->update();
}

QRect EditorBox::cursorRect() {
    const ScriptText& text = script();
    const std::size_t line = text.lineOf(text.caret);
    qreal at = columnX(text.columnOf(text.caret));
    if (!preedit_.isEmpty() && preeditCursor_ >= 0)  // the input method's own caret in its text
        at += QFontMetricsF(font(), viewport()).horizontalAdvance(preedit_.left(preeditCursor_));
    const int x = qRound(at);
    const int y = (static_cast<int>(line) - firstShownLine()) * lineHeight();
    return {x - 1, y, 2, lineHeight()};
}

void EditorBox::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QPalette& pal = palette();
    p.fillRect(event->rect(), pal.color(QPalette::Base));
    const int lh = lineHeight(), ascent = fontMetrics().ascent();
    const qreal cw = cellWidth();
    const int hscroll = horizontalScrollBar()->value();
    const auto firstColumn = static_cast<std::size_t>(std::max(0, hscroll - kPad) / cw);
    const std::size_t lastColumn = firstColumn + static_cast<std::size_t>(viewport()->width() / cw) + 2;
    const BoxColours& colour = colours();
    QFont plain = font(), bold = font(), italic = font();
    bold.setBold(true);
    italic.setItalic(true);
    const std::size_t widest = editing_.widest();
    // Only the rows the paint asks for (the caret's blink asks for one).
    const std::size_t firstRow = static_cast<std::size_t>(std::max(0, event->rect().top()) / lh);
    const std::size_t lines = script().lineCount();
    for (std::size_t row = firstRow, line = static_cast<std::size_t>(firstShownLine()) + firstRow;
         line < lines && static_cast<int>(row) * lh <= event->rect().bottom(); ++line, ++row) {
        const int top = static_cast<int>(row) * lh;
        const ShownLine shown = editing_.shownLine(line, firstColumn, lastColumn);
        if (shown.running) p.fillRect(0, top, viewport()->width(), lh, toQt(colour.runLine));
        // An input method's pre-edit text stands at the caret, the rest of
        // the line after it.
        const bool composing = !preedit_.isEmpty() && line == script().lineOf(script().caret);
        const std::size_t caretColumn = composing ? script().columnOf(script().caret) : 0;
        std::vector<ShownRun> runs;
        runs.reserve(shown.runs.size() + 1);
        for (const ShownRun& run : shown.runs) {
            if (composing && run.column < caretColumn && caretColumn < run.column + run.cells && run.text.size() == run.cells) {
                const std::size_t before = caretColumn - run.column;
                runs.push_back({run.column, before, run.text.substr(0, before), run.style, run.selected});
                runs.push_back({caretColumn, run.cells - before, run.text.substr(before), run.style, run.selected});
            } else {
                runs.push_back(run);
            }
        }
        const qreal preeditWidth = composing ? QFontMetricsF(font(), viewport()).horizontalAdvance(preedit_) : 0;
        for (const ShownRun& run : runs) {
            const qreal x = columnX(run.column) + (composing && run.column >= caretColumn ? preeditWidth : 0);
            const qreal width = static_cast<qreal>(run.cells) * cw;
            const QRectF cell(x, top, width, lh);
            QColor ink = pal.color(QPalette::Text);
            p.setFont(run.style.kind == TextStyle::Keyword ? bold : run.style.kind == TextStyle::Comment ? italic : plain);
            if (run.style.kind == TextStyle::Keyword) ink = toQt(colour.keyword);
            if (run.style.kind == TextStyle::Comment) ink = toQt(colour.comment);
            if (run.selected) {
                p.fillRect(cell, pal.color(QPalette::Highlight));
                ink = pal.color(QPalette::HighlightedText);
            } else if (run.style.outside1252) {
                p.fillRect(cell, toQt(colour.outside1252));
            }
            p.setPen(ink);
            if (!run.text.empty()) {
                QString shownText = QString::fromUcs4(run.text.data(), static_cast<qsizetype>(run.text.size()));
                // A character with its combining marks, composed where one
                // character holds them: the font's own glyph, not a mark
                // another font puts beside it.
                if (run.text.size() > run.cells) shownText = shownText.normalized(QString::NormalizationForm_C);
                p.drawText(QPointF(x, top + ascent), shownText);
            }
            if (run.style.wave) drawWave(p, qRound(x), qRound(x + width), top + lh - 2, toQt(colour.wave));
        }
        // A selection going on past the line's end covers its line break.
        if (shown.breakSelected)
            p.fillRect(QRectF(columnX(shown.endColumn) + preeditWidth, top, cw, lh), pal.color(QPalette::Highlight));
        if (composing) paintPreedit(p, columnX(caretColumn), top);
    }
    if (editing_.widest() != widest) QMetaObject::invokeMethod(this, [this] { updateScrollBars(); }, Qt::QueuedConnection);
    if (hasFocus() && caretShown_) p.fillRect(cursorRect(), pal.color(QPalette::Text));
    if (!dropCaret_.isNull()) p.fillRect(dropCaret_, pal.color(QPalette::Text));
}

void EditorBox::paintPreedit(QPainter& p, qreal x, int top) {
    // Underlined, with the stretches the input method formats (the segment
    // being converted, say) in their own colours.
    QFont underlined = font();
    underlined.setUnderline(true);
    const QFontMetricsF metrics(underlined, viewport());
    p.setFont(underlined);
    p.fillRect(QRectF(x, top, metrics.horizontalAdvance(preedit_), lineHeight()), palette().color(QPalette::Base));
    std::vector<QTextCharFormat> formats(static_cast<std::size_t>(preedit_.size()));
    for (const QInputMethodEvent::Attribute& a : preeditAttributes_) {
        if (a.type != QInputMethodEvent::TextFormat) continue;
        const QTextCharFormat format = qvariant_cast<QTextFormat>(a.value).toCharFormat();
        for (int i = std::max(0, a.start); i < std::min<int>(static_cast<int>(preedit_.size()), a.start + a.length); ++i)
            formats[static_cast<std::size_t>(i)] = format;
    }
    for (int i = 0; i < preedit_.size();) {
        int j = i + 1;
        while (j < preedit_.size() && formats[static_cast<std::size_t>(j)] == formats[static_cast<std::size_t>(i)]) ++j;
        const QTextCharFormat& format = formats[static_cast<std::size_t>(i)];
        const QString piece = preedit_.mid(i, j - i);
        const qreal from = x + metrics.horizontalAdvance(preedit_.left(i)), width = metrics.horizontalAdvance(piece);
        if (format.hasProperty(QTextFormat::BackgroundBrush))
            p.fillRect(QRectF(from, top, width, lineHeight()), format.background());
        p.setPen(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                                   : palette().color(QPalette::Text));
        p.drawText(QPointF(from, top + fontMetrics().ascent()), piece);
        i = j;
    }
}

int EditorBox::gutterWidth() const {
    int digits = 1;
    for (std::size_t n = std::max<std::size_t>(1, editing_.text().lineCount()); n >= 10; n /= 10) ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void EditorBox::paintGutter(QPaintEvent* event) {
    QPainter p(gutter_);
    const BoxColours& colour = colours();
    p.fillRect(event->rect(), toQt(colour.gutter));
    p.setFont(font());
    const int lh = lineHeight();
    std::size_t line = static_cast<std::size_t>(firstShownLine());
    for (int top = 0; line < script().lineCount() && top <= event->rect().bottom(); ++line, top += lh) {
        const int number = editing_.runNumber(line);
        if (number < 0) continue;
        const bool running = number == editing_.marked;
        if (running)
            p.fillRect(0, top, gutter_->width(), lh, toQt(colour.gutterRunning));
        else if (editing_.lineHoldsOutside1252(line))
            p.fillRect(0, top, gutter_->width(), lh, toQt(colour.outside1252));
        p.setPen(toQt(running ? colour.gutterRunningNumber : colour.gutterNumber));
        p.drawText(0, top, gutter_->width() - 4, lh, Qt::AlignRight, QString::number(number));
    }
}

void EditorBox::updateScrollBars() {
    const int lines = static_cast<int>(std::min<std::size_t>(script().lineCount(), INT_MAX / 2));
    verticalScrollBar()->setRange(0, std::max(0, lines - shownLines()));
    verticalScrollBar()->setPageStep(shownLines());
    verticalScrollBar()->setSingleStep(1);
    const auto wide = static_cast<long long>(static_cast<qreal>(editing_.widest() + 2) * cellWidth()) + kPad - viewport()->width();
    horizontalScrollBar()->setRange(0, static_cast<int>(std::clamp<long long>(wide, 0, INT_MAX / 2)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(qCeil(cellWidth()));
}

void EditorBox::ensureCaretVisible() {
    updateScrollBars();
    const ScriptText& text = script();
    const int line = static_cast<int>(text.lineOf(text.caret));
    const int first = firstShownLine(), count = shownLines();
    if (line < first)
        verticalScrollBar()->setValue(line);
    else if (line >= first + count)
        verticalScrollBar()->setValue(line - count + 1);
    const auto x = static_cast<long long>(static_cast<qreal>(text.columnOf(text.caret)) * cellWidth());
    const int hscroll = horizontalScrollBar()->value(), width = viewport()->width() - 2 * kPad;
    const int cell = qCeil(cellWidth());
    if (x < hscroll)
        horizontalScrollBar()->setValue(static_cast<int>(std::max(0LL, x - width / 4)));
    else if (x > hscroll + width - cell)
        horizontalScrollBar()->setValue(static_cast<int>(x - width + 4 * cell));
}

void EditorBox::scrollContentsBy(int, int) {
    viewport()->update();
    gutter_->update();
}

std::size_t EditorBox::positionAtPoint(const QPointF& point) const {
    const ScriptText& text = editing_.text();
    // Above the box: the line before the first shown.
    const long long line = firstShownLine() + (point.y() < 0 ? -1 : static_cast<long long>(point.y()) / lineHeight());
    const std::size_t l = static_cast<std::size_t>(
        std::clamp<long long>(line, 0, static_cast<long long>(text.lineCount()) - 1));
    // The boundary between characters nearest the point, in the measure
    // the text is drawn with.
    const qreal x = point.x() + horizontalScrollBar()->value() - kPad;
    const auto column = static_cast<std::size_t>(std::max<qreal>(0, std::floor(x / cellWidth() + 0.5)));
    return text.positionAt(l, column);
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
    // Tab and Shift+Tab type a tab, as a multi-line box in a dialog does;
    // Ctrl+Tab and Ctrl+Shift+Tab take the focus on to the next control or
    // back to the one before.
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (tab && mods == Qt::ControlModifier) {
            const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            focusNextPrevChild(!back);
            return true;
        }
        if (tab && !mods) {
            replaceSelection("\t", true);
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
    using Move = ScriptEditing::Move;
    using Erase = ScriptEditing::Erase;
    const bool shift = e->modifiers() & Qt::ShiftModifier, ctrl = e->modifiers() & Qt::ControlModifier;
    auto move = [&](Move how, std::size_t lines = 1) {
        editing_.move(how, shift, lines);
        caretMoved();
        return true;
    };
    auto erase = [&](Erase how) {
        editing_.erase(how);
        afterEdit();
        return true;
    };
    const auto page = static_cast<std::size_t>(shownLines());
    switch (e->key()) {
        case Qt::Key_Left: return move(ctrl ? Move::WordLeft : Move::Left);
        case Qt::Key_Right: return move(ctrl ? Move::WordRight : Move::Right);
        case Qt::Key_Up: return move(Move::Up);
        case Qt::Key_Down: return move(Move::Down);
        case Qt::Key_PageUp:
            verticalScrollBar()->setValue(firstShownLine() - shownLines());
            return move(Move::Up, page);
        case Qt::Key_PageDown:
            verticalScrollBar()->setValue(firstShownLine() + shownLines());
            return move(Move::Down, page);
        case Qt::Key_Home: return move(ctrl ? Move::TextStart : Move::LineStart);
        case Qt::Key_End: return move(ctrl ? Move::TextEnd : Move::LineEnd);
        case Qt::Key_Backspace: return erase(ctrl ? Erase::WordBack : Erase::Back);
        case Qt::Key_Delete:
            if (shift) return false;  // Shift+Delete is Cut, above
            return erase(ctrl ? Erase::WordForward : Erase::Forward);
        case Qt::Key_Return:
        case Qt::Key_Enter: return replaceSelection("\r\n"), true;
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
    if (!handleEditKey(e)) e->ignore();
}

void EditorBox::keyReleaseEvent(QKeyEvent* e) {
    QAbstractScrollArea::keyReleaseEvent(e);
    if (e->key() == Qt::Key_Shift) offerSelection();
    if (onKeyUp) onKeyUp();
}

void EditorBox::offerSelection() {
    // The desktop's selection (a middle click pastes it elsewhere), once a
    // selection is made: a drag or Shift let go, not every key of it.
    if (editing_.hasSelection() && QApplication::clipboard()->supportsSelection())
        QApplication::clipboard()->setText(QString::fromStdString(editing_.selectionForClipboard()),
                                           QClipboard::Selection);
}

void EditorBox::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    const std::size_t pos = positionAtPoint(e->position());
    if (e->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        // The desktop's selection pasted where the click is.
        const QString selected = QApplication::clipboard()->text(QClipboard::Selection);
        setCaret(pos, pos);
        if (!selected.isEmpty()) {
            editing_.paste(selected.toStdString());
            afterEdit();
        }
        return;
    }
    if (e->button() != Qt::LeftButton) return;
    // A press soon after a double click, where it was: the third takes the line.
    const bool third = doubleClicked_.isValid() && doubleClicked_.elapsed() < QApplication::doubleClickInterval() &&
                       (e->position() - doubleClickAt_).manhattanLength() < QApplication::startDragDistance();
    doubleClicked_.invalidate();
    // A press in the selection may start dragging it away.
    const ScriptText& t = script();
    if (!third && !(e->modifiers() & Qt::ShiftModifier) && t.caret != t.anchor && pos >= t.selectionStart() &&
        pos < t.selectionEnd()) {
        pressedInSelection_ = true;
        pressAt_ = e->position();
        return;
    }
    editing_.press(pos, third ? 3 : 1, !third && (e->modifiers() & Qt::ShiftModifier));
    caretMoved();
}

void EditorBox::dragSelection() {
    pressedInSelection_ = false;
    auto* dragged = new QMimeData;
    dragged->setText(QString::fromStdString(editing_.selectionForClipboard()));
    auto* drag = new QDrag(this);
    drag->setMimeData(dragged);
    droppedHere_ = false;
    const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // Moved into another program: it is taken from here.
    if (done == Qt::MoveAction && !droppedHere_ && editing_.hasSelection()) replaceSelection({});
}

void EditorBox::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasText()) e->acceptProposedAction();
}

void EditorBox::dragMoveEvent(QDragMoveEvent* e) {
    if (!e->mimeData()->hasText()) return e->ignore();
    // Where it would land: a caret of its own.
    viewport()->update(dropCaret_);
    dropCaret_ = characterRect(positionAtPoint(e->position()));
    dropCaret_.setWidth(2);
    dropCaret_.translate(-1, 0);
    viewport()->update(dropCaret_);
    e->acceptProposedAction();
}

void EditorBox::dragLeaveEvent(QDragLeaveEvent*) {
    viewport()->update(dropCaret_);
    dropCaret_ = QRect();
}

void EditorBox::dropEvent(QDropEvent* e) {
    viewport()->update(dropCaret_);
    dropCaret_ = QRect();
    const std::size_t at = positionAtPoint(e->position());
    if (e->source() == this) {
        // The box's own selection: moved, or copied with Ctrl.
        const bool copy = e->modifiers() & Qt::ControlModifier;
        if (editing_.dropSelection(at, copy)) afterEdit();
        droppedHere_ = true;
        e->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
        e->accept();
        return;
    }
    // Text from another program, put where it is dropped.
    setFocus(Qt::MouseFocusReason);
    setCaret(at);
    insertText(e->mimeData()->text().toStdString());
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

void EditorBox::dragTo(const QPointF& at) {
    editing_.dragTo(positionAtPoint(at));
    caretMoved();
}

void EditorBox::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    if (pressedInSelection_) {
        if ((e->position() - pressAt_).manhattanLength() >= QApplication::startDragDistance()) dragSelection();
        return;
    }
    // A drag held beyond the box goes on scrolling it, a line at a time.
    dragAt_ = e->position();
    dragTo(dragAt_);
    if (viewport()->rect().contains(dragAt_.toPoint()))
        dragScroll_.stop();
    else if (!dragScroll_.isActive())
        dragScroll_.start();
}

void EditorBox::mouseReleaseEvent(QMouseEvent* e) {
    QAbstractScrollArea::mouseReleaseEvent(e);
    dragScroll_.stop();
    if (pressedInSelection_ && e->button() == Qt::LeftButton) {  // a click in the selection, not a drag
        pressedInSelection_ = false;
        editing_.press(positionAtPoint(e->position()), 1, false);
        caretMoved();
    }
    if (e->button() == Qt::LeftButton) offerSelection();
    if (onClick) onClick();
}

void EditorBox::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    editing_.press(positionAtPoint(e->position()), 2, false);
    doubleClicked_.start();
    doubleClickAt_ = e->position();
    caretMoved();
}

void EditorBox::wheelEvent(QWheelEvent* e) {
    // Shift turns the wheel sideways. The scroll bars add up steps smaller
    // than a notch, and scroll a page at a time where the desktop says so.
    if ((e->modifiers() & Qt::ShiftModifier) && e->angleDelta().x() == 0) {
        const QPoint delta(e->angleDelta().y(), 0), pixels(e->pixelDelta().y(), 0);
        QWheelEvent sideways(e->position(), e->globalPosition(), pixels, delta, e->buttons(),
                             e->modifiers() & ~Qt::ShiftModifier, e->phase(), e->inverted(), e->source());
        QApplication::sendEvent(horizontalScrollBar(), &sideways);
        e->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(e);
}

void EditorBox::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    const bool clipboardHasText = !QApplication::clipboard()->text().isEmpty();
    for (const EditMenuItem& item : editMenu()) {
        if (!item.caption) {
            menu.addSeparator();
            continue;
        }
        menu.addAction(QString::fromUtf8(item.caption), this, [this, c = item.command] { run(c); })
            ->setEnabled(editing_.canDo(item.command, clipboardHasText));
    }
    menu.exec(e->globalPos());
}

void EditorBox::run(EditCommand command) {
    switch (command) {
        case EditCommand::Undo: return undo();
        case EditCommand::Redo: return redo();
        case EditCommand::Cut: return cut();
        case EditCommand::Copy: return copy();
        case EditCommand::Paste: return paste();
        case EditCommand::Delete: return replaceSelection({});
        case EditCommand::SelectAll: return selectAll();
        case EditCommand::None: return;
    }
}

void EditorBox::inputMethodEvent(QInputMethodEvent* e) {
    const int line = static_cast<int>(script().lineOf(script().caret)) - firstShownLine();
    const QRect row(0, line * lineHeight(), viewport()->width(), lineHeight());
    viewport()->update(row);  // as the pre-edit text was
    preedit_ = e->preeditString();
    preeditAttributes_ = e->attributes();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& a : preeditAttributes_)
        if (a.type == QInputMethodEvent::Cursor) preeditCursor_ = a.length > 0 ? a.start : -1;
    if (!e->commitString().isEmpty()) replaceSelection(e->commitString().toStdString(), true);
    viewport()->update(row);
    caretMoved();
    e->accept();
}

QVariant EditorBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
        case Qt::ImEnabled: return true;
        case Qt::ImCursorRectangle: return const_cast<EditorBox*>(this)->cursorRect().translated(viewport()->pos());
        case Qt::ImFont: return font();
        case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
        // The caret's line around it, for methods that read what stands before.
        case Qt::ImSurroundingText:
        case Qt::ImCursorPosition:
        case Qt::ImAnchorPosition: {
            const ScriptText& t = editing_.text();
            const std::size_t line = t.lineOf(t.caret), start = t.lineStart(line);
            const std::string text = t.slice(start, std::min(t.lineEnd(line), start + 4096));
            if (query == Qt::ImSurroundingText) return QString::fromUtf8(text);
            const std::size_t at = std::clamp(query == Qt::ImCursorPosition ? t.caret : t.anchor, start, start + text.size());
            return static_cast<int>(QString::fromUtf8(text.substr(0, at - start)).size());
        }
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

void EditorBox::changeEvent(QEvent* e) {
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::StyleChange) {
        colours_.reset();
        viewport()->update();
        gutter_->update();
    }
    if (e->type() == QEvent::FontChange) {
        cell_ = 0;  // measured again
        updateScrollBars();
        viewport()->update();
    }
}

void EditorBox::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    placeGutter();
}

void EditorBox::placeGutter() {
    // The gutter widens with the number of lines.
    const int width = gutterWidth();
    if (viewportMargins().left() != width) {
        setViewportMargins(width, 0, 0, 0);
        viewport()->update();
    }
    const QRect area = contentsRect();
    gutter_->setGeometry(area.left(), area.top(), width, viewport()->height());
    updateScrollBars();
}

}  // namespace torvic::qt
