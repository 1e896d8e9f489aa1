#include "engine/engine.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <new>

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "engine/commands.h"
#include "engine/engine_texts.h"

namespace torvic {

Engine::Engine(Host& host, Platform& platform) : run(*this, host, platform, platform, platform, document), host_(host) {}

// ---- loading ---------------------------------------------------------------

Engine::LoadResult Engine::loadLines(std::string_view editorText, const LinesOutside1252& outside) {
    const LoadResult result = torvic::loadLines(run, editorText, outside);
    // Each line's keyword is looked up once here, not at every pass.
    if (result == LoadResult::Loaded) {
        run.commands.fill(nullptr);
        for (int i = 0; i < run.nombreLinies; ++i) {
            const auto at = static_cast<std::size_t>(i);
            run.commands[at] = findCommand(RunContext::keywordOf(trimBlanks(run.linies[at])));
        }
    }
    return result;
}

// ---- run loop and dispatcher ----------------------------------------------

LineKind lineKind(std::string_view line) {
    const std::string_view trimmed = trimBlanks(line);
    if (findCommand(RunContext::keywordOf(trimmed))) return LineKind::Command;
    if (isCommentLine(trimmed)) return LineKind::Comment;
    return LineKind::Unrecognised;
}

void Engine::autoExecucio() {
    // A timer event that arrives while a line is open in a modal dialog must
    // not start a second loop inside the first.
    if (insideLoop_) return;
    insideLoop_ = true;
    while (!programEnded_) {
        const std::string& e = run.entry(run.liniaActual);
        if (e.empty()) {
            if (run.executant) finishRun();
            break;
        }
        if (!run.executant) break;
        // The window may handle its input while it shows the line: "Stop",
        // "End" or a new start then act before the line runs.
        const unsigned generation = runGeneration_;
        host_.lineStarted(run.liniaActual, e);
        if (generation != runGeneration_) continue;
        Execucio();
    }
    insideLoop_ = false;
}

void Engine::finishRun() {
    if (!host_.isMainWindowVisible()) {
        end();
        if (programEnded_) return;
        // Kept open by the window: the run ends as a visible one does.
    }
    runButtonsEnabled_ = true;
    host_.runFinished();
}

void Engine::Execucio() {
    for (auto& slot : run.parametresLinia) slot.clear();
    run.lastError.clear();  // the reason shown with a prompt is this line's own
    // A line whose characters 1252 cannot hold became '?' would not do what
    // it says: it stops at the prompt instead (a comment does nothing anyway).
    if (const auto it = run.outside1252.find(run.liniaActual);
        it != run.outside1252.end() && lineKind(run.entry(run.liniaActual)) != LineKind::Comment) {
        run.lastError =
            L1252("La línia té caràcters que no són del joc de caràcters 1252: ") + characterCodes(it->second) + ".";
        run.PErrorSintaxi();
        return;
    }
    std::string missatge;
    try {
        const std::string* line = &run.entry(run.liniaActual);
        if (std::string_view trimmed = trimBlanks(*line); trimmed.size() != line->size())
            line = &(run.currentLine() = std::string(trimmed));

        if (const CommandRow* command = run.commands[static_cast<std::size_t>(run.liniaActual)]) {
            run.advanceAfterLine = true;
            command->run(run);
            if (run.advanceAfterLine) ++run.liniaActual;
            return;
        }
        if (!isCommentLine(*line)) reportUnrecognised(*line);
        ++run.liniaActual;
        return;
    } catch (const RunTimeError& e) {
        run.lastError = e.what();  // a fault of the script: the plain prompt
    } catch (const std::bad_alloc&) {
        run.lastError = engine_texts::outOfMemory();
    } catch (const std::exception& e) {
        // A fault of ours: the prompt says so, and tests fail on it.
        run.lastError = engine_texts::internalError(e.what());
        host_.internalError(e.what());
        missatge = "Error intern del programa: " + std::string(e.what());
    }
    run.PErrorSintaxi(missatge);
}

void Engine::reportUnrecognised(const std::string& line) {
    static const std::string title = "TORVIC - Error de sintaxis:";
    static const std::string tail = L1252("' és incorrecte");
    std::string text = "Error en linia " + decimalWithSign(run.liniaActual) + ".  La comanda '" + line + tail;
    host_.ferMissatge(text, title, 10);
}

// ---- waits ----------------------------------------------------------------
// The host gives one plain timer; the due times are kept here, so a timer
// that goes off early is set again for the rest, and the clock check keeps
// its minute without drifting.

void Engine::wakeAfter(std::int32_t ms) {
    waiting_.onInterval = true;
    waiting_.intervalMs = ms;
    intervalDue_ = host_.steadyMs() + ms;
    armRunTimer();
}

void Engine::wakeAtClock(const std::string& hhmm) {
    waiting_.onClock = true;
    waiting_.horaEspera = hhmm;
    clockDue_ = host_.steadyMs() + kClockTick;
    armRunTimer();
}

void Engine::cancelWaits() {
    waiting_.onInterval = waiting_.onClock = false;
    host_.stopRunTimer();
}

void Engine::armRunTimer() {
    long long due = LLONG_MAX;
    if (waiting_.onInterval && waiting_.intervalMs > 0) due = intervalDue_;  // a zero interval never ends
    if (waiting_.onClock) due = std::min(due, clockDue_);
    if (due == LLONG_MAX) {
        host_.stopRunTimer();
        return;
    }
    const long long left = std::clamp<long long>(due - host_.steadyMs(), 0, INT32_MAX);
    host_.startRunTimer(static_cast<std::int32_t>(left));
}

void Engine::runTimerFired() {
    const long long now = host_.steadyMs();
    if (waiting_.onInterval && waiting_.intervalMs > 0 && intervalDue_ <= now) {
        intervalElapsed();
    } else if (waiting_.onClock && clockDue_ <= now) {
        clockDue_ += kClockTick;  // from the due time, not from now: no drift
        clockTick();
    } else {
        armRunTimer();  // early: the rest is waited out
    }
}

void Engine::intervalElapsed() {
    waiting_.onInterval = false;
    armRunTimer();
    run.executant = true;
    autoExecucio();
}

void Engine::clockTick() {
    std::string clock = clockText(run.platform.now().secondOfDay());
    if (clock.compare(0, 5, waiting_.horaEspera) != 0) {  // HH:MM, whole minutes
        armRunTimer();
        return;
    }
    waiting_.onClock = false;
    armRunTimer();
    run.executant = true;
    autoExecucio();
}

// ---- run controls ---------------------------------------------------------

void Engine::startRunning() {
    runButtonsEnabled_ = false;
    host_.runStarted();
}

void Engine::stopRunning() {
    runButtonsEnabled_ = true;
    host_.runStopped();
}

void Engine::continueRun(double start) {
    // The reloaded script starts its own waits; a wait of the previous run
    // must not resume it a second time.
    cancelWaits();
    ++runGeneration_;
    startRunning();
    const LoadResult loaded = loadLines(host_.editorText(), linesOutside1252(host_.editorTextUtf8()));
    if (loaded != LoadResult::Loaded) {
        host_.messageBox(loaded == LoadResult::TooManyLines
                             ? L1252("El programa té més de 300 línies i no es pot executar.")
                             : L1252("El programa codificat no es pot executar: la seva capçalera no indica la "
                                     "llargada de la clau."),
                         L1252("Atenció:"), MessageIcon::Exclamation);
        stopRunning();
        // A hidden run that cannot start ends the program, as one that ends does.
        if (!host_.isMainWindowVisible()) end();
        return;
    }
    if (!(start >= 0)) {
        run.liniaActual = 0;
    } else if (roundHalfEven(start) > kTableSize) {
        run.liniaActual = kTableSize;  // past the table: the run ends at once
    } else {
        run.liniaActual = toInt16(start);
    }
    run.endedByNo = false;
    run.executant = true;
    autoExecucio();
}

void Engine::stop() {
    cancelWaits();
    // A run stopped between two of its lines runs no further line.
    ++runGeneration_;
    run.executant = false;
    run.liniaActual = 0;
    stopRunning();
}

void Engine::end() {
    if (!host_.confirmEnd()) return;
    programEnded_ = true;
    ++runGeneration_;
    cancelWaits();
    host_.endProgram();
}

}  // namespace torvic
