#pragma once
// The editor box Text1, a window of its own drawing the editor's own text
// (ScriptEditing): only the lines in sight are read and drawn, so a key costs
// the same in a 50 MB file as in a short script, and the text takes little
// more than its size. A gutter at its left numbers the script lines as a
// run counts them (the running one green); keywords and comments are drawn
// in colour, lines the interpreter would not recognise are underlined, and
// so is each character code page 1252 cannot hold, on a red ground. It
// tells its parent of each change as an edit box does (EN_CHANGE), and
// gives its whole text to WM_GETTEXT. Its selection can be dragged away
// (OLE drag and drop: moved within the box, copied with Ctrl, or taken by
// another program), and text dropped on it from elsewhere is put in.
#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <optional>
#include <string>

#include "editor/script_editing.h"

namespace torvic::win32 {

class ScriptBox {
public:
    // The window class the form makes Text1 of.
    static const wchar_t* className();

    ScriptBox() = default;
    ScriptBox(const ScriptBox&) = delete;
    ScriptBox& operator=(const ScriptBox&) = delete;
    ~ScriptBox();
    // Takes over the window made of className(); `onKeyUp` and `onClick`
    // follow the caret.
    void attach(HWND box, void (*onKeyUp)(void*), void (*onClick)(void*), void* owner);

    ScriptEditing& editing() { return editing_; }
    ScriptText& text() { return editing_.text(); }
    // The whole text (UTF-8, CR LF line breaks), nothing to undo, unmodified.
    void setText(std::string utf8);
    // The whole text replaced as one step the user can undo.
    void replaceAll(std::string_view utf8);
    std::optional<bool> modified() const { return editing_.text().isModified(); }
    void setModified(bool modified) { editing_.text().setModified(modified); }
    void markRunLine(int index);
    // The caret (the selection's other end) at a byte of the text.
    void setCaret(std::size_t caret, std::size_t anchor);

private:
    class DropTarget;
    static LRESULT CALLBACK proc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void setFont(HFONT font);
    void paint(HDC dc, const RECT& update);
    bool key(WPARAM key);
    void typed(wchar_t c);
    // After an edit: laid out again, the parent told (EN_CHANGE).
    void afterEdit();
    void relayout();
    void caretMoved();
    void placeCaret();
    // Has what an edit or a move touched drawn again.
    void invalidate(const ScriptEditing::Redraw& redraw);
    void updateScrollBars();
    void ensureCaretVisible();
    void scrollTo(long long firstLine, long long hscroll);
    std::size_t positionAtPoint(int x, int y) const;
    int textLeft() const { return gutterWidth_ + 3; }
    int shownLines() const;
    std::size_t visibleColumns() const;
    void fitRange();
    void copy();
    void paste();
    void contextMenu(int x, int y);
    // A command of the box's menu, also reached by its keys and by the edit
    // box's messages; false when there was nothing to do.
    bool run(EditCommand command);
    // Drag and drop: the selection dragged away, and what a drag over the
    // box would do (the effect, the drop mark shown), a drag gone, a drop.
    void dragSelection();
    bool acceptsDrops() const;
    DWORD dragOver(POINTL screen, DWORD keys, DWORD allowed);
    void dragLeft();
    DWORD drop(IDataObject* data, POINTL screen, DWORD keys, DWORD allowed);
    void showDropMark(std::size_t pos);
    RECT dropMarkRect() const;

    HWND box_ = nullptr;
    void (*onKeyUp_)(void*) = nullptr;
    void (*onClick_)(void*) = nullptr;
    void* owner_ = nullptr;
    ScriptEditing editing_;
    HFONT font_ = nullptr, bold_ = nullptr, italic_ = nullptr;
    int lineHeight_ = 16, cellWidth_ = 8, ascent_ = 12, digitWidth_ = 8;
    int gutterWidth_ = 40;
    long long firstLine_ = 0, hscroll_ = 0;
    // What the scroll bars show.
    struct ScrollState {
        int lastLine, page, firstLine, width, shownWidth, left;
        bool operator==(const ScrollState&) const = default;
    };
    ScrollState scrollShown_{-1, 0, 0, 0, 0, 0};
    wchar_t highSurrogate_ = 0;  // the first half of a character typed in two
    bool selecting_ = false;     // the left button is down
    POINT dragAt_{};             // where the drag is
    bool doubleClicked_ = false;  // the last press was a double click's second
    LONG doubleClickTime_ = 0;
    POINT doubleClickAt_{};
    std::size_t rangeColumns_ = 0;  // the columns the horizontal scroll range spans
    // The wheel's turns, in steps (lines or columns), parts of a notch kept.
    struct WheelSteps {
        long long rest = 0;
        long long add(int delta, UINT perNotch, long long page);
    };
    WheelSteps wheelLines_, wheelSideways_;
    DropTarget* dropTarget_ = nullptr;  // registered while the window lives
    void stopDrops();
    bool oleStarted_ = false;
    bool pressedInSelection_ = false;  // a drag of the selection starts once the mouse moves far enough
    POINT pressAt_{};
    bool draggingOut_ = false, droppedHere_ = false;  // the selection is being dragged; it fell in the box
    static constexpr std::size_t kNoMark = static_cast<std::size_t>(-1);
    std::size_t dropMark_ = kNoMark;  // where a drag over the box would put its text
};

}  // namespace torvic::win32
