#include "editor/qt/script_editor_qt.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>

#include "editor/qt/qt_text.h"

namespace torvic::qt {
namespace {

// Whether the text is an encoded script, by its first characters only: the
// first line may be the whole of a large text, asked about on every change.
bool isEncoded(const QTextDocument* doc) {
    std::string start;
    for (int i = 0; i < static_cast<int>(kEncodedMarker.size()) && i + 1 < doc->characterCount(); ++i)
        start += static_cast<char>(doc->characterAt(i).unicode() < 0x80 ? doc->characterAt(i).unicode() : 0);
    return isEncodedScript(start);
}
// Where a character code page 1252 cannot hold stands, in the text and in
// the gutter.
const QColor kOutside1252Colour(255, 190, 190);
// Texts of up to this many lines are coloured whole as they change.
constexpr int kColouredWhole = 5000;

// Marks a block that has its colours.
class Coloured : public QTextBlockUserData {};

class Gutter : public QWidget {
public:
    explicit Gutter(EditorBox* editor) : QWidget(editor), editor_(editor) {}
    QSize sizeHint() const override { return {editor_->gutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { editor_->paintGutter(event); }

private:
    EditorBox* editor_;
};

}  // namespace

bool holdsOutside1252(const QString& line) {
    for (char32_t u : line.toUcs4())
        if (isOutside1252(u)) return true;
    return false;
}

void ScriptHighlighter::highlightBlock(const QString& text) {
    if (!forced && wanted && !wanted(currentBlock())) {
        if (currentBlockUserData()) setCurrentBlockUserData(nullptr);
        return;
    }
    if (!currentBlockUserData()) setCurrentBlockUserData(new Coloured);
    if (text.isEmpty()) return;
    if (classify && !isEncoded(document())) colour(text);
    // Characters code page 1252 cannot hold: a run stops at their line, and
    // saving in 1252 asks first. Each is marked where it stands.
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const char32_t u = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        if (isOutside1252(u)) {
            QTextCharFormat outside = format(static_cast<int>(i));
            outside.setBackground(kOutside1252Colour);
            outside.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            outside.setUnderlineColor(Qt::red);
            setFormat(static_cast<int>(i), static_cast<int>(length), outside);
        }
        i += length;
    }
}

void ScriptHighlighter::colour(const QString& text) {
    switch (classify(text)) {
        case LineKind::Command: {
            QTextCharFormat keyword;
            keyword.setForeground(QColor(0, 0, 160));
            keyword.setFontWeight(QFont::Bold);
            int from = 0;
            while (from < text.size() && (text[from] == ' ' || text[from] == '\t')) ++from;
            int to = static_cast<int>(text.indexOf('('));
            if (to < 0) to = static_cast<int>(text.size());
            setFormat(from, to - from, keyword);
            break;
        }
        case LineKind::Comment: {
            QTextCharFormat comment;
            comment.setForeground(QColor(110, 110, 110));
            comment.setFontItalic(true);
            setFormat(0, static_cast<int>(text.size()), comment);
            break;
        }
        case LineKind::Unrecognised: {
            QTextCharFormat wrong;
            wrong.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            wrong.setUnderlineColor(Qt::red);
            setFormat(0, static_cast<int>(text.size()), wrong);
            break;
        }
    }
}

EditorBox::EditorBox(QWidget* parent) : QPlainTextEdit(parent) {
    gutter_ = new Gutter(this);
    highlighter_ = new ScriptHighlighter(document());
    highlighter_->wanted = [this](const QTextBlock& block) { return nearShownLines(block); };
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { setViewportMargins(gutterWidth(), 0, 0, 0); });
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int from, int, int added) { renumber(from, added); });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy)
            gutter_->scroll(0, dy);
        else
            gutter_->update(0, rect.y(), gutter_->width(), rect.height());
        colourShownLines();
    });
    setViewportMargins(gutterWidth(), 0, 0, 0);
}

void EditorBox::setClassifier(std::function<LineKind(const QString&)> classify) {
    highlighter_->classify = std::move(classify);
    highlighter_->rehighlight();
}

void EditorBox::renumber(int from, int added) {
    const QTextDocument* doc = document();
    const auto count = static_cast<std::ptrdiff_t>(doc->blockCount());
    QTextBlock first = doc->findBlock(from), last = doc->findBlock(from + added);
    if (!first.isValid()) first = doc->lastBlock();
    if (!last.isValid()) last = doc->lastBlock();
    const std::ptrdiff_t a = first.blockNumber(), b = std::max<std::ptrdiff_t>(a, last.blockNumber());
    // The blocks a..b hold the change; they stand for the old blocks
    // a..b - grown. When that does not fit, every block is read again.
    const std::ptrdiff_t grown = count - static_cast<std::ptrdiff_t>(filled_.size());
    const std::ptrdiff_t oldLast = b - grown;
    std::ptrdiff_t readFrom = a, readTo = b;
    if (oldLast < a - 1 || oldLast >= static_cast<std::ptrdiff_t>(filled_.size())) {
        filled_.assign(static_cast<std::size_t>(count), 0);
        readFrom = 0;
        readTo = count - 1;
    } else if (grown != 0) {
        filled_.erase(filled_.begin() + a, filled_.begin() + oldLast + 1);
        filled_.insert(filled_.begin() + a, static_cast<std::size_t>(b - a + 1), 0);
    }
    bool changed = grown != 0 || readFrom != a;
    QTextBlock block = readFrom == a ? first : doc->firstBlock();
    for (std::ptrdiff_t n = readFrom; n <= readTo && block.isValid(); ++n, block = block.next()) {
        const char filled = isScriptLine(static_cast<std::size_t>(block.length() - 1));
        changed = changed || filled_[static_cast<std::size_t>(n)] != filled;
        filled_[static_cast<std::size_t>(n)] = filled;
    }
    if (const bool encoded = isEncoded(doc); encoded != encoded_) {
        encoded_ = encoded;
        changed = true;
        // Every line's colours depend on the marker: drawn again once the
        // change is done (not inside the document's own signal).
        QMetaObject::invokeMethod(this, [this] { recolourColouredLines(); }, Qt::QueuedConnection);
    }
    if (changed) numberFromFilled();
    const int width = gutterWidth();
    if (viewportMargins().left() != width) setViewportMargins(width, 0, 0, 0);
    gutter_->update();
}

void EditorBox::numberFromFilled() {
    runNumbers_.assign(filled_.size(), -1);
    if (encoded_) return;
    int next = 0;
    for (std::size_t n = 0; n < filled_.size(); ++n)
        if (filled_[n]) runNumbers_[n] = next++;
}

bool EditorBox::nearShownLines(const QTextBlock& block) const {
    if (document()->blockCount() <= kColouredWhole) return true;
    const int first = firstVisibleBlock().blockNumber();
    const int lines = viewport()->height() / std::max(1, fontMetrics().height()) + 1;
    return block.blockNumber() >= first - lines && block.blockNumber() <= first + 2 * lines;
}

void EditorBox::colourShownLines() {
    if (document()->blockCount() <= kColouredWhole) return;
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    highlighter_->forced = true;
    for (; block.isValid() && top <= viewport()->height(); block = block.next()) {
        if (!block.userData()) highlighter_->rehighlightBlock(block);
        top += blockBoundingRect(block).height();
    }
    highlighter_->forced = false;
}

void EditorBox::recolourColouredLines() {
    if (document()->blockCount() <= kColouredWhole) return highlighter_->rehighlight();
    // Lines far from the shown ones lose their colours until shown again.
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next())
        if (block.userData()) highlighter_->rehighlightBlock(block);
}

int EditorBox::runNumber(int block) const {
    if (block < 0 || static_cast<std::size_t>(block) >= runNumbers_.size()) return -1;
    return runNumbers_[static_cast<std::size_t>(block)];
}

void EditorBox::markRunLine(int index) {
    if (index == marked_) return;
    marked_ = index;
    QList<QTextEdit::ExtraSelection> selections;
    for (std::size_t b = 0; index >= 0 && b < runNumbers_.size(); ++b) {
        if (runNumbers_[b] != index) continue;
        QTextEdit::ExtraSelection line;
        line.format.setBackground(QColor(200, 235, 200));
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        line.cursor = QTextCursor(document()->findBlockByNumber(static_cast<int>(b)));
        selections << line;
        break;
    }
    setExtraSelections(selections);
    gutter_->update();
}

int EditorBox::gutterWidth() const {
    int digits = 1;
    for (int n = std::max(1, document()->blockCount()); n >= 10; n /= 10) ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void EditorBox::paintGutter(QPaintEvent* event) {
    QPainter p(gutter_);
    p.fillRect(event->rect(), QColor(236, 236, 236));
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        const int number = runNumber(block.blockNumber());
        if (block.isVisible() && number >= 0) {
            const bool running = number == marked_;
            if (running)
                p.fillRect(0, top, gutter_->width(), height, QColor(120, 190, 120));
            else if (holdsOutside1252(block.text()))
                p.fillRect(0, top, gutter_->width(), height, kOutside1252Colour);
            p.setPen(running ? Qt::black : QColor(120, 120, 120));
            p.drawText(0, top, gutter_->width() - 4, fontMetrics().height(), Qt::AlignRight, QString::number(number));
        }
        block = block.next();
        top += height;
    }
}

bool EditorBox::event(QEvent* e) {
    // The menu accelerators win over the editor's own keys (Ctrl+A is "save as").
    if (e->type() == QEvent::ShortcutOverride && isMenuShortcut &&
        isMenuShortcut(QKeySequence(static_cast<QKeyEvent*>(e)->keyCombination())))
        return true;
    return QPlainTextEdit::event(e);
}

void EditorBox::keyReleaseEvent(QKeyEvent* e) {
    QPlainTextEdit::keyReleaseEvent(e);
    if (onKeyUp) onKeyUp();
}

void EditorBox::mouseReleaseEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseReleaseEvent(e);
    if (onClick) onClick();
}

void EditorBox::resizeEvent(QResizeEvent* e) {
    QPlainTextEdit::resizeEvent(e);
    const QRect area = contentsRect();
    gutter_->setGeometry(area.left(), area.top(), gutterWidth(), area.height());
}

QString EditorBox::text() const {
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return raw;
}

}  // namespace torvic::qt
