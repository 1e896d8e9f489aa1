#pragma once
// The Win32 view of the find and replace dialog frmSubstituir, made anew at
// every opening from its design values. Its fields are read wide.
#include "base/win32/form_win32.h"
#include "editor/replace_dialog.h"

namespace torvic::win32 {

class ReplaceDialogWin32 : public ReplaceDialogView {
public:
    void attach(ReplaceDialogPresenter* behaviour) { substituir_ = behaviour; }
    HWND hwnd() const { return window_.hwnd(); }

    void showModal() override;
    void close() override { window_.endModal(); }
    std::string clipboardTextUtf8() override;
    void setFindTextUtf8(const std::string& text) override;
    void selectAllFindText() override { SendMessageA(window_.control("Text1"), EM_SETSEL, 0, -1); }
    std::string findTextUtf8() override;
    std::string replacementTextUtf8() override;
    std::string countText() override { return window_.text("Text3"); }
    bool onlyAfterCaret() override { return window_.checked("Check1"); }

private:
    ReplaceDialogPresenter* substituir_ = nullptr;
    FormWindow window_;
};

}  // namespace torvic::win32
