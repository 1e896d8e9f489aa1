#include "editor/win32/mouse_picker_win32.h"

#include "base/win32/form_win32.h"
#include "base/win32/message_box_win32.h"

namespace torvic::win32 {

void MousePickerWin32::show() {
    if (!window_.exists()) {
        window_.create(mousePickerForm(), &mouse_, GetActiveWindow(), WS_POPUP | WS_CAPTION | WS_SYSMENU);
        // Esc is "Tornar" (hidden, still loaded); the close box unloads it.
        window_.onEscape = [this] {
            if (mouse_) mouse_->onBack();
        };
        window_.onClose = [this] {
            if (mouse_) mouse_->onClose();
            window_.destroy();
        };
    }
    ShowWindow(window_.hwnd(), SW_SHOW);
    SetForegroundWindow(window_.hwnd());
}

void MousePickerWin32::hide() {
    if (window_.exists()) ShowWindow(window_.hwnd(), SW_HIDE);
}

void MousePickerWin32::startTimer1(int intervalMs) {
    if (!window_.exists()) return;
    window_.setTimer(1, static_cast<UINT>(intervalMs), [this] {
        if (mouse_) mouse_->onTick();
    });
}

void MousePickerWin32::setLabels(const std::string& x, const std::string& y) {
    window_.setText("Label1", x);
    window_.setText("Label2", y);
    // A static control wraps its words: a text wider than the label ("no
    // disponible") gets a second line, in the room below it in its frame.
    for (const char* name : {"Label1", "Label2"}) {
        HWND label = window_.control(name);
        if (!label) continue;
        RECT r{};
        GetWindowRect(label, &r);
        const int width = r.right - r.left, line = controlFontMetrics(label).tmHeight;
        if (r.bottom - r.top < 2 * line) SetWindowPos(label, nullptr, 0, 0, width, 2 * line, SWP_NOMOVE | SWP_NOZORDER);
    }
}

void MousePickerWin32::messageBox(const std::string& text, const std::string& title) {
    win32::messageBox(window_.hwnd(), text, title, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace torvic::win32
