#pragma once
// The editor box Text1: menu accelerators win over its own keys, key
// releases and clicks are reported for caret tracking. Beside the text, a
// gutter shows each non-empty line's run number (the 0-based count that
// "Cont Exec" and the line field use) and the line a visible run is at;
// keywords are coloured, comments greyed, a line the dispatcher would not
// recognise is underlined as it is typed, and so is each character code
// page 1252 cannot hold, on a red ground (its line's number too).
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <functional>
#include <vector>

#include "script/script_file.h"

namespace torvic::qt {


class ScriptHighlighter : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;
    std::function<LineKind(const QString&)> classify;
    // Whether a block is coloured now; the others wait until they are
    // shown (a long text opens without colouring every line first).
    std::function<bool(const QTextBlock&)> wanted;
    bool forced = false;  // colours whatever block it is given

protected:
    void highlightBlock(const QString& text) override;

private:
    void colour(const QString& text);  // keywords, comments, unrecognised lines
};

// Whether a line holds characters code page 1252 cannot.
bool holdsOutside1252(const QString& line);

class EditorBox : public QPlainTextEdit {
public:
    explicit EditorBox(QWidget* parent);
    std::function<bool(const QKeySequence&)> isMenuShortcut;
    std::function<void()> onKeyUp;
    std::function<void()> onClick;
    // The text exactly as it stands, lines joined by '\n'. (toPlainText
    // would give every non-breaking space as a plain one.)
    QString text() const;
    // Sets the rule the colours follow.
    void setClassifier(std::function<LineKind(const QString&)> classify);

    // The run number of the editor's line `block`, or -1 for an empty line
    // (and for every line of an encoded script, whose lines are not its own).
    int runNumber(int block) const;
    // Marks the line with run number `index` (-1: none).
    void markRunLine(int index);
    int markedRunLine() const { return marked_; }
    int gutterWidth() const;
    void paintGutter(QPaintEvent* event);

protected:
    bool event(QEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // After a change of the text: the blocks it touched are read again,
    // the others only shift.
    void renumber(int from, int added);
    void numberFromFilled();
    // Colours the shown lines still waiting for their colours.
    void colourShownLines();
    // Colours again every line that has colours (the marker of an encoded
    // script was typed or removed).
    void recolourColouredLines();
    bool nearShownLines(const QTextBlock& block) const;
    QWidget* gutter_ = nullptr;
    ScriptHighlighter* highlighter_ = nullptr;
    std::vector<char> filled_;     // per block: whether it holds text
    std::vector<int> runNumbers_;  // per block
    bool encoded_ = false;
    int marked_ = -1;
};

}  // namespace torvic::qt
