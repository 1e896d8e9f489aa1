#pragma once
// The host of torvicrun: no window. Every message goes to standard error, and
// with `trace` the line being run too; questions are asked on the terminal
// (or answered by the --on-error choice), and waits really wait.
#include <chrono>
#include <cstdint>
#include <string>

#include "engine/engine.h"
#include "engine/host.h"
#include "engine/timers.h"

namespace torvic {

class ConsoleHost : public Host {
public:
    enum class OnError { Ask, Continue, Stop };

    // `editorTextUtf8`: the script without loss, when it came from a UTF-8
    // file (empty for a 1252 one).
    ConsoleHost(std::string editorText, std::string startLine, OnError onError, std::string editorTextUtf8 = {},
                bool trace = false);
    ~ConsoleHost() override;

    // Runs the script hidden until it ends; returns the exit status
    // (0 reached its end, 1 ended by "No" or stuck in a wait that never ends).
    int run(Engine& engine);

    std::string editorText() override { return editorText_; }
    std::string editorTextUtf8() override { return editorTextUtf8_.empty() ? Host::editorTextUtf8() : editorTextUtf8_; }
    std::string text3() override { return text3_; }
    void setText3(const std::string& text) override { text3_ = text; }
    void setText4(const std::string&) override {}
    void showRunLine(int index, const std::string& text) override;
    void setRunButtonsEnabled(bool) override {}
    bool isMainWindowVisible() override { return false; }
    void endProgram() override { ended_ = true; }
    void startTimer1(std::int32_t intervalMs) override { timers_.start(1, intervalMs, elapsedMs()); }
    void stopTimer1() override { timers_.stop(1); }
    void startTimer2(std::int32_t intervalMs) override { timers_.start(2, intervalMs, elapsedMs()); }
    void stopTimer2() override { timers_.stop(2); }
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon, bool systemModal) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void ferMissatge(const std::string& missatge, const std::string& titol, std::int16_t temps) override;
    void internalError(const std::string& what) override;

private:
    using Clock = std::chrono::steady_clock;

    // Milliseconds since the host was made, on the steady clock.
    long long elapsedMs() const;
    void print(const std::string& text1252);
    void flush();

    std::string editorText_;
    std::string editorTextUtf8_;
    std::string text3_;
    OnError onError_;
    bool trace_;
    bool ended_ = false;
    std::string out_;
    Clock::time_point start_ = Clock::now();
    TimerSchedule timers_;
};

}  // namespace torvic
