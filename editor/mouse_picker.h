#pragma once
// The mouse position picker, window `mouse` ("Posició del Ratolí"): the
// pointer's coordinates live, and a move to typed ones. Its behaviour
// behind a view.
#include <string>

#include "platform/platform.h"
#include "base/form.h"

namespace torvic {

class MousePickerView {
public:
    virtual ~MousePickerView() = default;
    // Shows the window modeless, loading it (text boxes "0", labels empty)
    // when it is not loaded, or brings it forward.
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void startTimer1(int intervalMs) = 0;
    virtual void stopTimer1() = 0;
    virtual std::string text1() = 0;  // X to move to
    virtual std::string text2() = 0;  // Y to move to
    virtual void setLabels(const std::string& x, const std::string& y) = 0;
    virtual void messageBox(const std::string& text, const std::string& title) = 0;
};

class MousePickerPresenter {
public:
    MousePickerPresenter(MousePickerView& view, Platform& platform) : view_(view), platform_(platform) {}

    // "&Posició del Ratolí" (Ctrl+P) of the main window: shown and polling.
    void show();            // posicio_rat_Click: the main window's "&Posició del Ratolí"
    void onTick();          // Timer1_Timer, every 200 ms: the pointer's position into the labels
    void onFixPosition();   // Command2_Click "Fixar posició"
    void onBack();          // Command1_Click "Tornar": no more polling, hidden
    void onClose() { view_.stopTimer1(); }  // Form_Terminate

private:
    MousePickerView& view_;
    Platform& platform_;
};

const Form<MousePickerPresenter>& mousePickerForm();

}  // namespace torvic
