#pragma once
// What a window (or the console, or a test) provides to a run besides its
// dialogs: the status fields, the run buttons, the two timers and the end of
// the program. Texts are code page 1252 bytes.
#include <cstdint>
#include <string>

#include "base/cp1252.h"
#include "base/dialogs.h"

namespace torvic {

class Host : public Dialogs {
public:
    // Text1: the script in the editor, CR LF line breaks.
    virtual std::string editorText() = 0;
    // Text1 without loss, in UTF-8: editorText() holds a '?' for each of its
    // characters code page 1252 cannot hold, and a run stops at their lines.
    virtual std::string editorTextUtf8() { return cp1252::toUtf8(editorText()); }

    // Text3: where a continued run starts; the user may edit it.
    virtual std::string text3() = 0;
    virtual void setText3(const std::string& text) = 0;
    // Text4: the line being run.
    virtual void setText4(const std::string& text) = 0;
    // Before each line: Text3 = the line index, Text4 = its text. A window
    // may also handle its pending input here ("Stop", "End").
    virtual void showRunLine(int index, const std::string& text) = 0;

    // Enabled state of "Cont Exec", "Executa Ocult" and "Executa tot".
    virtual void setRunButtonsEnabled(bool enabled) = 0;

    // A run whose window is not visible ends the program when it ends.
    virtual bool isMainWindowVisible() = 0;
    // Restores the window procedure, removes the icon and ends the program.
    virtual void endProgram() = 0;
    // Asked before the program ends: false keeps it open (a window holding
    // work the user chose to keep).
    virtual bool confirmEnd() { return true; }

    // Timer1: one-shot, milliseconds. Timer2: repeating clock check.
    // Starting a running timer restarts it.
    virtual void startTimer1(std::int32_t intervalMs) = 0;
    virtual void stopTimer1() = 0;
    virtual void startTimer2(std::int32_t intervalMs) = 0;
    virtual void stopTimer2() = 0;

    // A fault of the program itself (not of the script) happened in a line;
    // the line's prompt follows. Tests fail on it; the others may log it.
    virtual void internalError(const std::string& /*what*/) {}
};

}  // namespace torvic
