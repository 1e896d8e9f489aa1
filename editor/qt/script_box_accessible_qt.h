#pragma once
// The editor box as accessibility sees it: an editable, multi-line text
// whose whole text, caret, selection and edits a screen reader can read
// and make (offsets in UTF-16 units, as Qt's own text boxes count them).
// Made only when an assistive technology asks; without one a key costs
// nothing more.
#include <QAccessibleWidget>

namespace torvic::qt {

class EditorBox;

// Installs the factory that gives every EditorBox its interface (once).
void installScriptBoxAccessibility();

class ScriptBoxAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit ScriptBoxAccessible(EditorBox* box);
    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    EditorBox* box() const;
    std::size_t position(int offset) const;
    int offset(std::size_t position) const;
    void replace(int startOffset, int endOffset, const QString& text);
};

}  // namespace torvic::qt
