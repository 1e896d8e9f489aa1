#include "editor/win32/key_dialog_win32.h"

namespace torvic::win32 {

void KeyDialogWin32::showModal() {
    window_.create(keyDialogForm(), &codificacio_, GetActiveWindow(), WS_POPUP | WS_CAPTION | WS_SYSMENU);
    SendMessageA(window_.control("Text1"), EM_SETLIMITTEXT, 225, 0);
    // Esc is "Cancelar"; the close box closes without a choice.
    window_.onEscape = [this] {
        if (codificacio_) codificacio_->onCancel();
    };
    window_.onClose = [this] { window_.endModal(); };
    SetFocus(window_.control("Text1"));
    window_.runModal();
    window_.destroy();  // the next use starts with an empty key box
}

}  // namespace torvic::win32
