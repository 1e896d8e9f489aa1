#include "editor/win32/about_box_win32.h"

#include "base/win32/message_box_win32.h"

namespace torvic::win32 {

void AboutBoxWin32::showModal() {
    window_.create(aboutBoxForm(), &about_, GetActiveWindow(), WS_POPUP | WS_CAPTION | WS_SYSMENU);
    window_.setTitle(caption_);
    window_.setText("lblTitle", title_);
    window_.setText("lblVersion", version_);
    window_.setText("Text1", description_);
    window_.setText("lblDisclaimer", disclaimer_);
    // "Advertència:" lies over the notice's first line: as tall as that
    // line, it leaves the second one whole.
    HWND over = window_.control("Label1");
    const TEXTMETRICA metrics = controlFontMetrics(over);
    RECT r;
    GetWindowRect(over, &r);
    SetWindowPos(over, nullptr, 0, 0, r.right - r.left, metrics.tmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // "Acceptar" is the default and the cancel button: Enter and Esc close the box.
    window_.onEscape = [this] {
        if (about_) about_->onOk();
    };
    window_.onClose = [this] { window_.endModal(); };
    SetFocus(window_.control("cmdOK"));
    window_.runModal();
    window_.destroy();
}

void AboutBoxWin32::messageBox(const std::string& text, const std::string& title) {
    win32::messageBox(window_.hwnd(), text, title, MB_OK);
}

}  // namespace torvic::win32
