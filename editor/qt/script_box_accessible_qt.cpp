#include "editor/qt/script_box_accessible_qt.h"

#include <QScrollBar>

#include "editor/qt/script_editor_qt.h"

namespace torvic::qt {
namespace {

QAccessibleInterface* scriptBoxFactory(const QString&, QObject* object) {
    if (auto* box = dynamic_cast<EditorBox*>(object)) return new ScriptBoxAccessible(box);
    return nullptr;
}

}  // namespace

void installScriptBoxAccessibility() {
    // The last factory installed is asked first: ours before Qt's own for
    // a scroll area.
    static const bool installed = (QAccessible::installFactory(&scriptBoxFactory), true);
    (void)installed;
}

ScriptBoxAccessible::ScriptBoxAccessible(EditorBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

EditorBox* ScriptBoxAccessible::box() const { return static_cast<EditorBox*>(widget()); }

void* ScriptBoxAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State ScriptBoxAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = s.multiLine = s.selectableText = s.focusable = true;
    return s;
}

QString ScriptBoxAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value) return QString::fromUtf8(box()->script().text());
    return QAccessibleWidget::text(t);
}

std::size_t ScriptBoxAccessible::position(int offset) const {
    return box()->editing().positionOfUnits(static_cast<std::size_t>(std::max(0, offset)));
}

int ScriptBoxAccessible::offset(std::size_t position) const {
    return static_cast<int>(box()->editing().unitsBefore(position));
}

void ScriptBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    const ScriptText& t = box()->script();
    const bool any = selectionIndex == 0 && t.caret != t.anchor;
    *startOffset = any ? offset(t.selectionStart()) : 0;
    *endOffset = any ? offset(t.selectionEnd()) : 0;
}

int ScriptBoxAccessible::selectionCount() const { return box()->script().caret != box()->script().anchor ? 1 : 0; }

void ScriptBoxAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void ScriptBoxAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) box()->setCaret(box()->script().caret);
}

void ScriptBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0) box()->setCaret(position(endOffset), position(startOffset));
}

int ScriptBoxAccessible::cursorPosition() const { return offset(box()->script().caret); }

void ScriptBoxAccessible::setCursorPosition(int position) { box()->setCaret(this->position(position)); }

QString ScriptBoxAccessible::text(int startOffset, int endOffset) const {
    const std::size_t from = position(startOffset);
    const std::size_t to = endOffset < 0 ? box()->script().size() : position(endOffset);
    return QString::fromUtf8(box()->script().slice(from, std::max(from, to)));
}

int ScriptBoxAccessible::characterCount() const { return offset(box()->script().size()); }

QRect ScriptBoxAccessible::characterRect(int offset) const {
    const QRect local = box()->characterRect(position(offset));
    return QRect(box()->viewport()->mapToGlobal(local.topLeft()), local.size());
}

int ScriptBoxAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint local = box()->viewport()->mapFromGlobal(point);
    if (!box()->viewport()->rect().contains(local)) return -1;
    return offset(box()->positionAtPoint(local));
}

void ScriptBoxAccessible::scrollToSubstring(int startIndex, int) {
    box()->scrollToLine(box()->script().lineOf(position(startIndex)));
}

QString ScriptBoxAccessible::attributes(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void ScriptBoxAccessible::replace(int startOffset, int endOffset, const QString& text) {
    box()->setCaret(position(endOffset), position(startOffset));
    box()->insertText(text.toStdString());
}

void ScriptBoxAccessible::deleteText(int startOffset, int endOffset) { replace(startOffset, endOffset, {}); }

void ScriptBoxAccessible::insertText(int offset, const QString& text) { replace(offset, offset, text); }

void ScriptBoxAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    replace(startOffset, endOffset, text);
}

}  // namespace torvic::qt
