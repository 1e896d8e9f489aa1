#pragma once
// The Win32 view of the mouse position picker: a modeless window, made when
// it is first shown and unloaded by its close box.
#include "base/win32/form_win32.h"
#include "editor/mouse_picker.h"

namespace torvic::win32 {

class MousePickerWin32 : public MousePickerView {
public:
    void attach(MousePickerPresenter* behaviour) { mouse_ = behaviour; }
    HWND hwnd() const { return window_.hwnd(); }

    void show() override;
    void hide() override;
    void startTimer1(int intervalMs) override;
    void stopTimer1() override { window_.killTimer(1); }
    std::string text1() override { return window_.exists() ? window_.text("Text1") : "0"; }
    std::string text2() override { return window_.exists() ? window_.text("Text2") : "0"; }
    void setLabels(const std::string& x, const std::string& y) override;
    void messageBox(const std::string& text, const std::string& title) override;

private:
    MousePickerPresenter* mouse_ = nullptr;
    FormWindow window_;
};

}  // namespace torvic::win32
