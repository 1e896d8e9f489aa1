#pragma once
// frmMissatge: the timed, modal message window. It counts down once a
// second and closes by itself; "Acceptar Tots" dismisses every later
// message of the process at once; messages can be exported to a file.
#include <cstdint>
#include <functional>
#include <string>
#include "base/form.h"

namespace torvic {

class MessageWindowView {
public:
    virtual ~MessageWindowView() = default;
    // Shows the window modally; returns when close() was called.
    virtual void showModal() = 0;
    virtual void close() = 0;
    virtual void setTitle(const std::string& text) = 0;
    virtual void setMessage(const std::string& text) = 0;      // Label1
    virtual void setSecondsLeft(const std::string& text) = 0;  // Label3
    virtual void setPauseCaption(const std::string& text) = 0; // Command2
    virtual void startTick() = 0;                              // Timer1, every 1000 ms
    virtual void stopTick() = 0;
    virtual bool exportChecked() = 0;                          // Check1
    virtual std::string exportFileName() = 0;                  // Text1
    virtual void messageBox(const std::string& text) = 0;
    virtual void beep() = 0;
};

class MessageWindowPresenter {
public:
    explicit MessageWindowPresenter(MessageWindowView& view) : view_(view) {}

    void ferMissatge(const std::string& missatge, const std::string& titol, std::int16_t temps);

    // Events of the window.
    void onActivate();  // Form_Activate
    void onTick();  // Timer1_Timer, every second
    void onAccept();           // Command1_Click "Acceptar"
    void onPauseOrContinue();  // Command2_Click "Pausar" / "Continuar"
    void onCloseProgram();     // Command3_Click "Tancar"
    void onAcceptAll();        // Command4_Click "Acceptar Tots"

    bool acceptarTots() const { return acceptarTots_; }
    std::int16_t temps() const { return temps_; }
    bool counting() const { return counting_; }
    // What "Tancar" does after closing the window: the owner ends the program.
    std::function<void()> onEndProgram;
    // The clock used for the export time stamp (tests set a fixed one).
    std::function<std::string()> timeStamp;

private:
    void unload();
    void exportMessage();

    MessageWindowView& view_;
    std::string missatge_, titol_;
    std::int16_t temps_ = 0;
    bool acceptarTots_ = false;
    bool counting_ = false;
    bool open_ = false;
};

// The window's form. Its title is set at each showing.
const Form<MessageWindowPresenter>& messageWindowForm();

}  // namespace torvic
