#pragma once
// The Win32 view of the key dialog `Codificacio`, made anew at every use.
#include "base/cp1252.h"
#include "base/win32/form_win32.h"
#include "editor/key_dialog.h"

namespace torvic::win32 {

class KeyDialogWin32 : public KeyDialogView {
public:
    void attach(KeyDialogPresenter* behaviour) { codificacio_ = behaviour; }
    HWND hwnd() const { return window_.hwnd(); }

    void showModal() override;
    void close() override { window_.endModal(); }
    // The key box is a 1252 field: the system gives it no other character.
    std::string keyTextUtf8() override { return cp1252::toUtf8(window_.text("Text1")); }

private:
    KeyDialogPresenter* codificacio_ = nullptr;
    FormWindow window_;
};

}  // namespace torvic::win32
