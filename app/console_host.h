#pragma once
// The host of torvicrun: no window. Every message goes to standard error, and
// with `trace` the line being run too; questions are asked on the terminal
// (or answered by the --on-error choice), and waits really wait.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/engine.h"
#include "engine/host.h"

namespace torvic {

class ConsoleHost : public Host {
public:
    enum class OnError { Ask, Continue, Stop };

    // `editorTextUtf8`: the script without loss, when it came from a UTF-8
    // file (empty for a 1252 one). The run starts at `startLine`.
    ConsoleHost(std::string editorText, int startLine, OnError onError, std::string editorTextUtf8 = {},
                bool trace = false);
    ~ConsoleHost() override;

    // Runs the script hidden until it ends; returns the exit status
    // (0 reached its end, 1 ended by "No" or stuck in a wait that never ends).
    int run(Engine& engine);

    std::string editorText() override { return editorText_; }
    std::string editorTextUtf8() override { return editorTextUtf8_.empty() ? Host::editorTextUtf8() : editorTextUtf8_; }
    void runStarted() override {}
    void lineStarted(int index, const std::string& text) override;
    void runFinished() override {}
    void runStopped() override {}
    bool isMainWindowVisible() override { return false; }
    void endProgram() override { ended_ = true; }
    void startRunTimer(std::int32_t ms) override { timerDue_ = steadyMs() + ms; }
    void stopRunTimer() override { timerDue_.reset(); }
    long long steadyMs() override;
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon, bool systemModal) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void ferMissatge(const std::string& missatge, const std::string& titol, std::int16_t temps) override;
    void internalError(const std::string& what) override;

private:
    using Clock = std::chrono::steady_clock;

    void print(const std::string& text1252);
    void flush();

    std::string editorText_;
    std::string editorTextUtf8_;
    int startLine_;
    OnError onError_;
    bool trace_;
    bool ended_ = false;
    std::string out_;
    Clock::time_point start_ = Clock::now();
    std::optional<long long> timerDue_;  // the run's timer, when it is set
};

}  // namespace torvic
