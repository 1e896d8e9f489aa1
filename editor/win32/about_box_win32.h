#pragma once
// The Win32 view of the about box frmAbout, made afresh at each showing.
#include "base/win32/form_win32.h"
#include "editor/about_box.h"

namespace torvic::win32 {

class AboutBoxWin32 : public AboutBoxView {
public:
    void attach(AboutBoxPresenter* behaviour) { about_ = behaviour; }
    HWND hwnd() const { return window_.hwnd(); }

    void showModal() override;
    void close() override { window_.endModal(); }
    void setCaption(const std::string& text) override { caption_ = text; }
    void setTitle(const std::string& text) override { title_ = text; }
    void setVersion(const std::string& text) override { version_ = text; }
    void setDescription(const std::string& text) override { description_ = text; }
    void setDisclaimer(const std::string& text) override { disclaimer_ = text; }
    void messageBox(const std::string& text, const std::string& title) override;

private:
    AboutBoxPresenter* about_ = nullptr;
    FormWindow window_;
    std::string caption_, title_, version_, description_, disclaimer_;
};

}  // namespace torvic::win32
