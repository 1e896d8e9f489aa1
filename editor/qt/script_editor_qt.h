#pragma once
// The editor box Text1, drawn by the editor itself over its own text
// (ScriptEditing): only the lines in sight are ever read, so a key costs the
// same in a 50 MB file as in a short script, and the text takes little more
// than its size. Menu accelerators win over its own keys; key releases and
// clicks are reported for caret tracking. Beside the text, a gutter shows
// each non-empty line's run number (the 0-based count that "Cont Exec" and
// the line field use) and the line a visible run is at; keywords are
// coloured, comments greyed, a line the dispatcher would not recognise is
// underlined as it is typed, and so is each character code page 1252 cannot
// hold, on a red ground (its line's number too). A lone CR or LF inside a
// line shows as a visible mark.
#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/box_colours.h"
#include "editor/script_editing.h"

namespace torvic::qt {

class EditorBox : public QAbstractScrollArea {
public:
    explicit EditorBox(QWidget* parent);
    std::function<bool(const QKeySequence&)> isMenuShortcut;
    std::function<void()> onKeyUp;
    std::function<void()> onClick;
    std::function<void()> onTextChanged;
    // The rule the colours follow, given a line in code page 1252.
    void setClassifier(std::function<LineKind(std::string_view)> classify);

    // The text: read it, edit it through here so that the view follows.
    ScriptText& script() { return editing_.text(); }
    const ScriptEditing& editing() const { return editing_; }
    // Replaces the whole text with nothing to undo; the caret at the start.
    void setText(std::string utf8);
    // Replaces the selection, or the whole text, as one step the user can
    // undo.
    void replaceSelection(std::string_view utf8, bool typing = false);
    void replaceAll(std::string_view utf8);
    void setCaret(std::size_t caret, std::size_t anchor);
    void setCaret(std::size_t pos) { setCaret(pos, pos); }
    void undo();
    void redo();
    void copy();
    void cut();
    void paste();
    void selectAll() { setCaret(script().size(), 0); }
    // A command of the box's own menu.
    void run(EditCommand command);
    // The styles a line is drawn with (as painting takes them).
    std::vector<StyledStretch> lineStyles(std::size_t line) { return editing_.lineStyles(line); }

    // The run number of the editor's line, or -1 for an empty line (and for
    // every line of an encoded script, whose lines are not its own).
    int runNumber(std::size_t line) { return editing_.runNumber(line); }
    // Marks the line with run number `index` (-1: none).
    void markRunLine(int index);
    int markedRunLine() const { return editing_.marked; }
    // Where the caret is drawn, in the viewport; where a character is.
    QRect cursorRect();
    QRect characterRect(std::size_t pos) const;
    // The place nearest a point of the viewport.
    std::size_t positionAtPoint(const QPointF& p) const;
    // The line shown (scrolled to, if out of sight).
    void scrollToLine(std::size_t line);
    // Text put in place of the selection as a step of its own, its line
    // breaks made CR LF (nothing: the selection deleted).
    void insertText(std::string_view utf8);
    int firstShownLine() const;
    int gutterWidth() const;
    void paintGutter(QPaintEvent* event);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void afterEdit();
    // After the caret moved: in sight, drawn, blinking afresh.
    void caretMoved();
    void redraw(const ScriptEditing::Redraw& lines);
    void offerSelection();
    // A drag with the left button: the selection extended to the point.
    void dragTo(const QPointF& at);
    bool handleEditKey(QKeyEvent* e);
    void ensureCaretVisible();
    void updateScrollBars();
    void placeGutter();
    int lineHeight() const;
    // The width of a character's cell, as the text is drawn, and where a
    // column starts in the viewport.
    qreal cellWidth() const;
    qreal columnX(std::size_t column) const;
    const BoxColours& colours() const;
    int shownLines() const;

    ScriptEditing editing_;
    QWidget* gutter_ = nullptr;
    QTimer blink_;
    bool caretShown_ = true;
    QRect caretDrawn_;
    QTimer dragScroll_;  // a drag held beyond the box
    QPointF dragAt_;
    QElapsedTimer doubleClicked_;  // a third click soon after takes the line
    QPointF doubleClickAt_;
    // A press in the selection: a drag of it once the mouse moves far enough.
    bool pressedInSelection_ = false;
    QPointF pressAt_;
    bool droppedHere_ = false;
    QRect dropCaret_;  // where a drag would drop
    void dragSelection();
    mutable qreal cell_ = 0;
    mutable std::optional<BoxColours> colours_;
    // What accessibility is told after an edit (only while it listens).
    struct TextEvent {
        int offset;
        QString removed, inserted;
    };
    std::vector<TextEvent> textEvents_;
    // An input method's text being composed, shown at the caret.
    QString preedit_;
    QList<QInputMethodEvent::Attribute> preeditAttributes_;
    int preeditCursor_ = -1;
    void paintPreedit(QPainter& p, qreal x, int top);
    void tellAccessibility();  // worked out at the first need after a palette change  // measured at the first need after a font change
};

}  // namespace torvic::qt
