#include "editor/win32/replace_dialog_win32.h"

#include "platform/windows/wide_text.h"

namespace torvic::win32 {

void ReplaceDialogWin32::showModal() {
    window_.create(replaceDialogForm(), &substituir_, GetActiveWindow(), WS_POPUP | WS_CAPTION | WS_SYSMENU);
    SetWindowLongPtrA(window_.hwnd(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    window_.onEscape = [] {};  // Enter and Esc do nothing; only the close box closes without a choice
    window_.onClose = [this] { window_.endModal(); };
    if (substituir_) substituir_->onActivate();
    SetFocus(window_.control("Text1"));
    window_.runModal();
    window_.destroy();
}

std::string ReplaceDialogWin32::clipboardTextUtf8() { return win::utf8(clipboardText(window_.hwnd())); }

void ReplaceDialogWin32::setFindTextUtf8(const std::string& text) { window_.setWideText("Text1", win::wide(text)); }
std::string ReplaceDialogWin32::findTextUtf8() { return win::utf8(window_.wideText("Text1")); }
std::string ReplaceDialogWin32::replacementTextUtf8() { return win::utf8(window_.wideText("Text2")); }

}  // namespace torvic::win32
