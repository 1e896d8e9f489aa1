#pragma once
// The editor box Text1: the system's multi-line edit box, with a gutter in
// its left margin numbering the script lines as a run counts them (the
// running one green), keywords and comments drawn over in colour and lines
// the interpreter would not recognise underlined. Only the visible lines are
// drawn; which lines count is kept line by line as the text changes, so a
// key never reads the whole text.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace torvic::win32 {

class ScriptBox {
public:
    ScriptBox() = default;
    ScriptBox(const ScriptBox&) = delete;
    ScriptBox& operator=(const ScriptBox&) = delete;
    ~ScriptBox();
    // Takes over the edit box (its font set); `onKeyUp` and `onClick` follow
    // the caret.
    void attach(HWND box, void (*onKeyUp)(void*), void (*onClick)(void*), void* owner);

    // The whole text (UTF-8, CR LF line breaks), without loss; a long one
    // goes in by pieces with a progress window once it has taken half a
    // second.
    void setText(const std::string& utf8);
    // The whole text in UTF-8, converted from the box's own.
    std::string textUtf8() const;
    // The parent got EN_CHANGE.
    void noteChange();
    // Whether EN_CHANGE should reach the behaviour (not while loading).
    bool loading() const { return loading_; }
    // Changed since setModified(false); nothing while an undo is under way
    // (it may bring the saved text back).
    std::optional<bool> modified() const;
    void setModified(bool modified);
    void markRunLine(int index);

    // The caret's place in characters (a pair of surrogates counts one;
    // each line break two, CR LF).
    std::size_t caret() const;
    // The caret's line (0-based), its column in characters (a pair of
    // surrogates counts one) and its text.
    struct CaretLine {
        int line = 0;
        int column = 0;
        std::wstring text;
    };
    CaretLine caretLine() const;
    // Whether `c` stands anywhere after the caret's line.
    bool holdsAfterCaretLine(wchar_t c) const;

private:
    static LRESULT CALLBACK proc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Which lines count, from the whole text (loading, undo, unknown changes).
    void rescan();
    // Draws, within `update` (if any), the gutter and the colours over the
    // box's own painting; with `gutter`, the whole gutter too.
    void paint(HRGN update, bool gutter);
    // The colours of the lines the box painted (their numbers and tops).
    void colourLines(HDC dc, const std::vector<std::pair<int, int>>& shown, const RECT& format, const TEXTMETRICW& tm);
    void fitGutter();
    const wchar_t* buffer() const;

    HWND box_ = nullptr;
    void (*onKeyUp_)(void*) = nullptr;
    void (*onClick_)(void*) = nullptr;
    void* owner_ = nullptr;
    HFONT bold_ = nullptr, italic_ = nullptr;
    // Per edit line: whether it counts as a script line (non-empty), and
    // whether it holds characters code page 1252 cannot.
    std::vector<std::uint8_t> filled_;
    bool encoded_ = false;  // an encoded script: no numbers, no colours
    int gutterWidth_ = 0;
    int digitWidth_ = 8;
    int marked_ = -1;
    int firstShown_ = -1;
    int depth_ = 0;
    bool loading_ = false;
    bool gutterDue_ = false;  // with the next painting
    bool undoing_ = false;
    bool changed_ = false;      // EN_CHANGE came during the message
    bool unknownChange_ = false;  // a change not at the selection
};

}  // namespace torvic::win32
