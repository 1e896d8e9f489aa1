#include "editor/win32/replace_dialog_win32.h"

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

std::string ReplaceDialogWin32::clipboardText() {
    std::string text;
    if (!OpenClipboard(window_.hwnd())) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace torvic::win32
