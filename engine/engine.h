#pragma once
// The interpreter: loading the line table from the editor text, the run
// loop, the per-line dispatcher, the timers' return into the loop, and the
// run controls. The commands themselves are free functions over the run
// context (engine/commands.h).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/host.h"
#include "script/run_context.h"
#include "script/script_file.h"
#include "platform/platform.h"
#include "script/working_text.h"

namespace torvic {

// How the dispatcher takes a line of a script (LineKind), by the table of
// keywords.
LineKind lineKind(std::string_view line);

class Engine : private RunWaits {
public:
    Engine(Host& host, Platform& platform);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // The working text and its cursor, kept across runs.
    TextDocument document;
    // The line table and where the run is.
    RunContext run;

    // ---- loading ---------------------------------------------------------
    using LoadResult = torvic::LoadResult;
    // See script/script_file.h.
    LoadResult loadLines(std::string_view editorText, const LinesOutside1252& outside = {});

    // ---- running ---------------------------------------------------------
    void autoExecucio();
    void Execucio();
    // The host's run timer went off: a wait that is due goes on with the run.
    void runTimerFired();

    // ---- run controls ----------------------------------------------------
    // A hidden run is a continued run while the host shows no window.
    // `startLine` as the user typed it, read as a number: below 0 is 0,
    // past the table ends the run at once.
    void continueRun(double startLine);
    void runAll() { continueRun(0); }
    void stop();  // waits cancelled, back to line 0
    void end();   // ends the program

    bool runButtonsEnabled() const { return runButtonsEnabled_; }
    bool runEndedByNo() const { return run.endedByNo; }
    Host& host() { return host_; }

    // What the run waits for, when it waits: an interval (0 never ends) or
    // a clock reading ("HH:MM"; any other text never comes).
    struct Waiting {
        bool onInterval = false;
        std::int32_t intervalMs = 0;
        bool onClock = false;
        std::string horaEspera;
    };
    const Waiting& waiting() const { return waiting_; }

    // The clock check of time and date, in milliseconds.
    static constexpr std::int32_t kClockTick = 60000;

private:
    void startRunning();  // the host's run controls go off
    void stopRunning();   // ... and on again
    void finishRun();
    void reportUnrecognised(const std::string& line);
    // RunWaits, for wait, time and date.
    void wakeAfter(std::int32_t ms) override;
    void wakeAtClock(const std::string& hhmm) override;
    void cancelWaits();
    // Sets the host's timer for the earliest wait that is due (none: off).
    void armRunTimer();
    void intervalElapsed();
    void clockTick();

    Waiting waiting_;
    long long intervalDue_ = 0;  // on the host's steady clock
    long long clockDue_ = 0;

    Host& host_;
    bool runButtonsEnabled_ = true;
    bool insideLoop_ = false;
    bool programEnded_ = false;
    unsigned runGeneration_ = 0;  // changes with every start, stop and end
};

}  // namespace torvic
