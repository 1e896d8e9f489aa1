#pragma once
// The Win32 view of the timed message window frmMissatge: made at its
// first use and kept, shown modally for each message.
#include "base/win32/form_win32.h"
#include "editor/message_window.h"

namespace torvic::win32 {

class MessageWindowWin32 : public MessageWindowView {
public:
    void attach(MessageWindowPresenter* behaviour) { missatge_ = behaviour; }
    HWND hwnd() const { return window_.hwnd(); }

    void showModal() override;
    void close() override { window_.endModal(); }
    void setTitle(const std::string& text) override;
    void setMessage(const std::string& text) override;
    void setSecondsLeft(const std::string& text) override;
    void setPauseCaption(const std::string& text) override;
    void startTick() override;
    void stopTick() override;
    bool exportChecked() override;
    std::string exportFileName() override;
    void messageBox(const std::string& text) override;
    void beep() override { MessageBeep(MB_OK); }

private:
    // Made when first needed, over the window that is active then.
    FormWindow& window();
    static constexpr UINT_PTR kActivationTimer = 2;
    MessageWindowPresenter* missatge_ = nullptr;
    FormWindow window_;
    bool activatedSinceShow_ = false;
};

}  // namespace torvic::win32
