#pragma once
// The Win32 view of the main window `Torvic`: the form's controls, the menu
// bar and its accelerators, the run timer, the notification-area icon and
// its menu RCpopup, the common file dialogs and the message boxes. It shows
// what the behaviour says and forwards every event to it.
#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>

#include "base/win32/form_win32.h"
#include "editor/main_window.h"
#include "editor/win32/script_box_win32.h"

namespace torvic::win32 {

class MainWindowWin32 : public MainWindowView {
public:
    MainWindowWin32();
    ~MainWindowWin32() override;
    void attach(MainWindowPresenter* behaviour) { torvic_ = behaviour; }

    HWND hwnd() const { return window_.hwnd(); }
    HACCEL accelerators() const { return accelerators_; }
    // A control by its design name ("Text1").
    HWND control(const char* name) const { return window_.control(name); }
    // Shown centred, as at a normal start.
    void show();
    // How long a status line stays.
    int statusMilliseconds = 15000;

    void setCaption(const std::string& text) override { window_.setTitle(text); }
    // The editor box Text1 (benchmarks and tests reach its text).
    ScriptBox& editorBox() { return box_; }
    void setRunLineMark(int index) override { box_.markRunLine(index); }
    // The editor box is a Unicode control: it holds every character, and
    // converts at this boundary.
    std::string editorText() override;
    void setEditorText(const std::string& text) override;
    std::string editorTextUtf8() override;
    void setEditorTextUtf8(std::string text) override;
    void replaceEditorTextUtf8(const std::string& text) override;
    std::size_t editorCaret() override;
    // Read from the caret's line only: a key stays quick in a long text.
    CaretLine editorCaretLine() override;
    bool editorHoldsAfterCaretLine(char c) override;
    std::optional<bool> editorModified() override { return box_.modified(); }
    void setEditorModified(bool modified) override { box_.setModified(modified); }
    void setEditorTooltip(const std::string& text) override { window_.setTip("Text1", text); }
    void focusEditor() override;
    std::string text2() override { return window_.text("Text2"); }
    void setText2(const std::string& text) override { window_.setText("Text2", text); }
    std::string text3() override { return window_.text("Text3"); }
    void setText3(const std::string& text) override { window_.setText("Text3", text); }
    void setText4(const std::string& text) override;
    void setText4Tooltip(const std::string& text) override { window_.setTip("Text4", text); }
    void setText4Highlighted(bool lightYellow) override;
    void setCaretLabels(const std::string& line, const std::string& column) override;
    void setRunButtonsEnabled(bool enabled) override;
    void repaintNow() override;
    void handlePendingInput() override { pumpMessages(hwnd(), accelerators_); }
    bool isVisible() override { return IsWindowVisible(hwnd()); }
    void setVisible(bool visible) override;
    void applyLayout(const std::vector<LayoutStep>& steps) override;
    void moveEndButtonOutOfSight() override;
    void startRunTimer(int intervalMs) override;
    void stopRunTimer() override { window_.killTimer(kRunTimer); }
    long long steadyMs() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
    }
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon, bool systemModal) override;
    bool askYesNo(const std::string& text, const std::string& title, MessageIcon icon) override;
    SaveChoice askSaveChanges(const std::string& text, const std::string& title) override;
    int askChoice(const std::string& text, const std::string& title, const std::vector<std::string>& buttons,
                  int defaultButton) override;
    void startRecoveryTimer(int intervalMs) override;
    void openInNewWindow(const std::string& systemFile) override;
    std::string openFileDialog(const std::string& startDirectory, const std::string& fileName,
                               const std::string& filter) override;
    std::string saveFileDialog(const std::string& startDirectory, const std::string& fileName,
                               const std::string& filter) override;
    bool showNotificationIcon(const std::string& tooltip) override;
    void removeNotificationIcon() override;
    void setTrayChecks(bool aturat, bool executant) override;
    bool minimise() override {
        window_.buildControls();
        ShowWindow(hwnd(), SW_MINIMIZE);
        return true;
    }
    void showStatus(const std::string& text) override;
    void clearStatus() override;
    // The manual torvic.rtf beside the program, opened or printed by the shell.
    void showManual(const std::string& htmlUtf8, bool print) override;
    void endProgram() override;

private:
    using Clock = std::chrono::steady_clock;
    static constexpr UINT_PTR kRunTimer = 1, kStatusTimer = 3;  // Timer1 and Timer2: the run timer
    static constexpr UINT_PTR kRecoveryTimer = 4;
    static constexpr UINT kActivatedMessage = WM_APP + 3;
    static constexpr UINT kTrayMessage = WM_APP + 1;
public:
    // Posted by the console's handler (another thread) when the console
    // closes or the session ends: the recovery copy is written, then the
    // event in lParam is set.
    static constexpr UINT kWriteRecoveryMessage = WM_APP + 2;
private:

    void buildMenus();
    // The controls' fonts and what was set before they were made.
    void setUpControls();
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The client area the layout rules see: without the status line, in
    // pixels of the 96-DPI design.
    void layoutToClient();

    MainWindowPresenter* torvic_ = nullptr;
    FormWindow window_;
    ScriptBox box_;  // Text1
    HMENU menuBar_ = nullptr;
    HMENU rcPopup_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::map<UINT, void (MainWindowPresenter::*)()> menuHandlers_;
    std::map<std::string, UINT> menuIds_;
    HWND status_ = nullptr;
    // Grows or shrinks the window by the status line, and repaints it whole.
    void resizeForStatus(int delta);
    bool trayShown_ = false;
    bool minimised_ = false;
    bool text4Yellow_ = false;
    bool runOn_ = false;  // the run buttons are off
    // Kept until the controls are made: the End button out of sight, a
    // layout to apply.
    bool endOutOfSight_ = false;
    bool layoutKept_ = false;
    HBRUSH yellow_ = nullptr;
    // The caret's line and column in their labels, smaller when too wide.
    void fitNumber(const char* name, const std::string& text);
    HFONT labelFont_ = nullptr;
    std::map<LONG, HFONT> smallerFonts_;
};

}  // namespace torvic::win32
