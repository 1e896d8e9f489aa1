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
#include "textcmd/working_text.h"

namespace torvic {

// How the dispatcher takes a line of a script (LineKind), by the table of
// keywords.
LineKind lineKind(std::string_view line);

class Engine {
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
    // The timers of wait, time and date bring the run back here.
    void timer1Elapsed();
    void timer2Elapsed();

    // ---- run controls ----------------------------------------------------
    // A hidden run is a continued run while the host shows no window.
    void continueRun();  // from the line in Text3
    void runAll();       // from line 0
    void stop();         // timers off, back to line 0
    void end();          // ends the program

    bool runButtonsEnabled() const { return runButtonsEnabled_; }
    bool runEndedByNo() const { return run.endedByNo; }
    Host& host() { return host_; }

private:
    void setRunButtons(bool enabled);
    void finishRun();
    void reportUnrecognised(const std::string& line);

    Host& host_;
    bool runButtonsEnabled_ = true;
    bool insideLoop_ = false;
    bool programEnded_ = false;
    unsigned runGeneration_ = 0;  // changes with every start, stop and end
};

}  // namespace torvic
