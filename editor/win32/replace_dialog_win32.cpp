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

std::string ReplaceDialogWin32::clipboardTextUtf8() {
    std::string text;
    if (!OpenClipboard(window_.hwnd())) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = win::utf8(p);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void ReplaceDialogWin32::setFindTextUtf8(const std::string& text) {
    if (HWND field = window_.control("Text1")) SetWindowTextW(field, win::wide(text).c_str());
}

std::string ReplaceDialogWin32::fieldUtf8(const char* name) const {
    HWND field = window_.control(name);
    if (!field) return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return win::utf8(text);
}

}  // namespace torvic::win32
