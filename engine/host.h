#pragma once
// What a run asks of the window (or the console, or a test) that hosts it,
// in the run's own words, besides its dialogs: the script to load, what the
// run is doing, one timer, and the end of the program. Texts are code page
// 1252 bytes.
#include <cstdint>
#include <string>

#include "base/cp1252.h"
#include "base/dialogs.h"

namespace torvic {

class Host : public Dialogs {
public:
    // The script in the editor, CR LF line breaks.
    virtual std::string editorText() = 0;
    // The same without loss, in UTF-8: editorText() holds a '?' for each of
    // its characters code page 1252 cannot hold, and a run stops at their lines.
    virtual std::string editorTextUtf8() { return cp1252::toUtf8(editorText()); }

    // What the run is doing. A run started (its start controls go off) and
    // ends as finished (it reached its end or a "No") or stopped (by the
    // user, or a script that cannot be loaded).
    virtual void runStarted() = 0;
    // A line is about to run: its index in the table and its text. A window
    // may also handle its pending input here ("Stop", "End").
    virtual void lineStarted(int index, const std::string& text) = 0;
    virtual void runFinished() = 0;
    virtual void runStopped() = 0;

    // A run whose window is not visible ends the program when it ends.
    virtual bool isMainWindowVisible() = 0;
    // Restores the window procedure, removes the icon and ends the program.
    virtual void endProgram() = 0;
    // Asked before the program ends: false keeps it open (a window holding
    // work the user chose to keep).
    virtual bool confirmEnd() { return true; }

    // The run's one timer: a single shot after `ms` milliseconds, which calls
    // Engine::runTimerFired. Starting it again replaces it. It may fire a
    // little early or late: the engine keeps the due times on steadyMs().
    virtual void startRunTimer(std::int32_t ms) = 0;
    virtual void stopRunTimer() = 0;
    // Milliseconds on a clock that never goes back.
    virtual long long steadyMs() = 0;

    // A fault of the program itself (not of the script) happened in a line;
    // the line's prompt follows. Tests fail on it; the others may log it.
    virtual void internalError(const std::string& /*what*/) {}
};

}  // namespace torvic
