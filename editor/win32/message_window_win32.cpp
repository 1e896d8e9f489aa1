#include "editor/win32/message_window_win32.h"

#include "base/win32/message_box_win32.h"

#include "editor/win32/foreground_win32.h"

namespace torvic::win32 {

FormWindow& MessageWindowWin32::window() {
    if (window_.exists()) return window_;
    window_.create(messageWindowForm(), &missatge_, FormWindow::dialogOwner(), WS_POPUP | WS_CAPTION | WS_SYSMENU);
    window_.setText("Text1", "c:\\errors.txt");
    // Esc and the close box close the message as "Acceptar" does.
    window_.onEscape = [this] {
        if (missatge_) missatge_->onAccept();
    };
    // Every activation repeats the showing steps.
    window_.onMessage = [this](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && missatge_ && window_.inModal()) {
            activatedSinceShow_ = true;
            missatge_->onActivate();
        }
        return false;
    };
    return window_;
}

void MessageWindowWin32::showModal() {
    // Where nothing makes the window active (no desktop in front), it is
    // shown as if it were.
    activatedSinceShow_ = false;
    window().setTimer(kActivationTimer, 300, [this] {
        window_.killTimer(kActivationTimer);
        if (!activatedSinceShow_ && missatge_ && window_.inModal()) {
            activatedSinceShow_ = true;
            missatge_->onActivate();
        }
    });
    const ForegroundKeeper keeper;
    window().runModal();
}

void MessageWindowWin32::setTitle(const std::string& text) { window().setTitle(text); }
void MessageWindowWin32::setMessage(const std::string& text) { window().setText("Label1", text); }
void MessageWindowWin32::setSecondsLeft(const std::string& text) { window().setText("Label3", text); }
void MessageWindowWin32::setPauseCaption(const std::string& text) { window().setText("Command2", text); }

void MessageWindowWin32::startTick() {
    window().setTimer(1, 1000, [this] {
        if (missatge_) missatge_->onTick();
    });
}

void MessageWindowWin32::stopTick() { window().killTimer(1); }
bool MessageWindowWin32::exportChecked() { return window().checked("Check1"); }
std::string MessageWindowWin32::exportFileName() { return window().text("Text1"); }

void MessageWindowWin32::messageBox(const std::string& text) {
    win32::messageBox(window().hwnd(), text, "Torvic", MB_OK | MB_ICONINFORMATION);
}

}  // namespace torvic::win32
