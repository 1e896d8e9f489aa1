#pragma once
// Windows built from their forms on the plain Win32 API (the ANSI one: the
// program's texts are code page 1252): the controls at their design places
// scaled from twips by the system's DPI, the designed fonts, tooltips, each
// button's click calling its handler, and a modal loop of the window's own.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/form.h"

namespace torvic::win32 {

// The screen's dots per inch (96 unless the system is scaled).
int dpi();
// A length in twips (1440 an inch) in screen pixels.
int twipsToScreen(int twips);
// A length in pixels of a 96-DPI design in screen pixels, and back.
int designToScreen(int pixels);
int screenToDesign(int pixels);
// The designed proportional font ("MS Sans Serif", or the system's
// successor of it) and fixed one ("Courier New", or another fixed-pitch
// font where it is missing), made once per size.
HFONT proportionalFont(double points, bool bold = false);
HFONT fixedFont(double points);
// The metrics of the font a control draws its text with.
TEXTMETRICA controlFontMetrics(HWND control);
// The program's icon, a yellow T on dark blue, drawn at `size` pixels.
HICON programIcon(int size);
// A function of a DLL loaded by hand (null when either is missing), as the
// type it is.
template <class F>
F procedure(HMODULE dll, const char* name) {
    return dll ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name))) : nullptr;
}
// SetWindowSubclass, RemoveWindowSubclass and DefSubclassProc. The common controls are loaded
// when the first control is made: a hidden run starts without them (their
// loading opens the display and the theme).
bool subclassControl(HWND control, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);

// An exception must never cross the system's frames back into a window
// procedure's caller (that ends the program, with its unsaved work): the
// window procedures catch what their handlers did not foresee and hand its
// text to the handler set here (by default, a message box), then go on.
void setEscapedErrorHandler(std::function<void(const std::string&)> handler);
// Runs a window procedure's work: what it throws is reported as above, and
// `fallback` is the message's result then.
template <typename Work>
LRESULT guardedProcedure(Work&& work, LRESULT fallback) noexcept;
void reportEscapedError(const char* what) noexcept;
bool removeSubclass(HWND control, SUBCLASSPROC proc, UINT_PTR id);
LRESULT defaultSubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// The clipboard's text (empty when it holds none), and text put on it.
std::wstring clipboardText(HWND owner);
void setClipboardText(HWND owner, const std::wstring& text);

// A top-level window made of a form's controls. A view owns one and adds
// what is its own: timers, keys, what its close box does.
class FormWindow {
public:
    FormWindow() = default;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    virtual ~FormWindow() { destroy(); }

    // Makes the window (hidden) with its client area at the form's size and
    // every control of the form; each button calls its handler on
    // `*presenter` as it is when clicked. `title` replaces the form's when given.
    // With `controlsLater` the controls wait for buildControls() or the
    // window's first showing; until then the window is message-only (it
    // receives messages, timers and the notification icon's clicks),
    // control() is nullptr, and the texts and tips set are kept and read back.
    template <class P>
    void create(const Form<P>& form, P* const* presenter, HWND owner, DWORD style, const char* title = nullptr,
                bool controlsLater = false);
    void destroy();
    // Makes the controls still to make, then calls onControlsBuilt.
    void buildControls();
    // The owner a dialog gets: the active window, or else a window still
    // message-only (a hidden run's), made a hidden window of the desktop for
    // it, so that the dialog belongs to the program as it does when the
    // window has its controls.
    static HWND dialogOwner();
    bool controlsBuilt() const { return hwnd_ && !build_; }
    // The window class (wide) the form's editor box is made of, set before
    // the controls are made; by default the system's multi-line edit box.
    const wchar_t* editorClass = nullptr;
    std::function<void()> onControlsBuilt;
    // Makes the client area this size (in screen pixels) below the menu
    // bar, if there is one, and centres the window again.
    void fitClient(int width, int height);
    bool exists() const { return hwnd_ != nullptr; }
    HWND hwnd() const { return hwnd_; }

    // A control by its design name (nullptr when the form has none).
    HWND control(const std::string& name) const;
    std::string text(const std::string& name) const;  // code page 1252
    // The whole text of a box one types in (a Unicode control), and what
    // goes in it: every character, not only what 1252 holds.
    std::wstring wideText(const std::string& name) const;
    void setWideText(const std::string& name, const std::wstring& text);
    void setText(const std::string& name, const std::string& text1252);
    void setTip(const std::string& name, const std::string& text1252);
    bool checked(const std::string& name) const;
    void setTitle(const std::string& text1252) { SetWindowTextA(hwnd_, text1252.c_str()); }
    // Enter presses this button (none: Enter does nothing).
    void setDefaultButton(const std::string& name);

    // Shows the window and handles messages until endModal(); the owner is
    // disabled meanwhile. A WM_QUIT met on the way is handed on.
    void runModal();
    void endModal() { modal_ = false; }
    bool inModal() const { return modal_; }

    void setTimer(UINT_PTR id, UINT ms, std::function<void()> onTick);
    void killTimer(UINT_PTR id);

    // What Esc (IDCANCEL) and the close box do; by default both end the
    // modal loop. onClose falls back to onEscape.
    std::function<void()> onEscape;
    std::function<void()> onClose;
    // Any other message, before the window's own handling; true when it
    // was handled, with the result in `result`.
    std::function<bool(UINT message, WPARAM, LPARAM, LRESULT& result)> onMessage;

    // Handles one message as a dialog would (Tab, Enter, Esc) when it is
    // for this window; true when it was. Tab follows the form's order.
    bool dialogMessage(MSG& msg);
    // The control Tab (forward) or Shift+Tab leads to from `from`: the next
    // visible, enabled tab stop in the form's order, round the end.
    HWND nextTabStop(HWND from, bool forward) const;

private:
    void makeWindow(const char* title, int clientWidth, int clientHeight, HWND owner, DWORD style, bool messageOnly);
    void keepCaption(const char* name, const char* caption);
    void joinDesktop();
    void addControl(ControlKind kind, const char* name, const char* parent, const char* caption, const char* tip,
                    const TwipRect& place, unsigned style, double points, std::function<void()> onClick);
    void showTooltips();
    void applyTip(HWND control);
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    std::function<void()> build_;  // the controls still to make
    bool messageOnly_ = false;     // until then (the owner is left out)
    std::map<std::string, std::string> captions_, textsSet_, tipsSet_;  // meanwhile, by name (1252)
    HWND tooltip_ = nullptr;
    HWND focus_ = nullptr;  // the control to give the focus back to
    std::map<HWND, std::string> tips_;  // each control's tip, code page 1252
    std::set<HWND> tipped_;             // the controls the tooltip knows
    bool modal_ = false;
    int defaultId_ = 0;
    int nextId_ = 1000;
    std::map<std::string, HWND> controls_;
    // The tab stops in the form's order, by frame and id: a control a view
    // makes again in its place, with its id, keeps its turn.
    std::vector<std::pair<HWND, int>> tabOrder_;
    std::map<int, std::function<void()>> clicks_;
    std::map<UINT_PTR, std::function<void()>> timers_;
};

template <class P>
void FormWindow::create(const Form<P>& form, P* const* presenter, HWND owner, DWORD style, const char* title,
                        bool controlsLater) {
    makeWindow(title ? title : form.title, twipsToScreen(form.width), twipsToScreen(form.height), owner, style,
               controlsLater);
    build_ = [this, form, presenter] {
        for (const FormControl<P>& c : form) {
            std::function<void()> onClick;
            if (c.handler) onClick = [presenter, h = c.handler] { ((*presenter)->*h)(); };
            addControl(c.kind, c.name, c.parent, c.caption, c.tip, c.place, c.style, c.points ? c.points : form.points,
                       std::move(onClick));
        }
    };
    if (!controlsLater) {
        buildControls();
        return;
    }
    for (const FormControl<P>& c : form)
        if (*c.name) keepCaption(c.name, c.caption);
}

// The message loop of a window program: each message goes first to the
// accelerators of `accelerators` on `window`, then to the dialog keys of
// the form window whose message it is.
int messageLoop(HWND window, HACCEL accelerators);
// Handles the messages waiting, the same way, and returns; false when
// WM_QUIT was among them (it is posted again).
bool pumpMessages(HWND window, HACCEL accelerators);

template <typename Work>
LRESULT guardedProcedure(Work&& work, LRESULT fallback) noexcept {
    try {
        return work();
    } catch (const std::exception& e) {
        reportEscapedError(e.what());
    } catch (...) {
        reportEscapedError("?");
    }
    return fallback;
}

}  // namespace torvic::win32
