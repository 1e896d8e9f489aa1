#pragma once
// Test host: answers prompts from a queue, records every message, and runs
// the two timers on a virtual clock that only moves when the test says so.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/host.h"
#include "tests/support/recording_platform.h"

namespace torvic::test {

// The next answer of a queue, or `otherwise` when it is empty.
template <class T>
T next(std::deque<T>& queue, T otherwise) {
    if (queue.empty()) return otherwise;
    T a = std::move(queue.front());
    queue.pop_front();
    return a;
}

struct Message {
    enum Kind { Box, Question, Timed } kind;
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    int seconds = 0;
};

class ScriptedHost : public Host {
public:
    explicit ScriptedHost(RecordingPlatform& platform) : platform_(platform) {}

    Engine* engine = nullptr;
    std::string editor;
    std::string text3Field = "0";  // the line index shown, "Acabat" when the run finished
    std::string text4Field;
    bool visible = true;
    bool buttonsEnabled = true;
    bool ended = false;
    std::deque<bool> answers;       // Yes = true; an empty queue answers No
    std::vector<Message> messages;
    std::vector<int> linesRun;      // every index shown before a line
    std::vector<std::string> textsRun;  // the entry's text as shown before the line
    // Every message as "box|title|text", "question|..." or "timed|...".
    std::vector<std::string> shown() const {
        std::vector<std::string> all;
        for (const Message& m : messages)
            all.push_back((m.kind == Message::Box ? "box|" : m.kind == Message::Question ? "question|" : "timed|") + m.title + "|" + m.text);
        return all;
    }

    // The run's timer: when it goes off, on the virtual clock.
    std::optional<long long> timerDue;

    // Moves the virtual clock forward by `ms`, firing the timers due on the way.
    void advance(long long ms);

    std::string editorText() override { return editor; }
    // The editor text without loss, when it holds characters 1252 cannot
    // (`editor` then has '?' in their places).
    std::string editorUtf8;
    std::string editorTextUtf8() override { return editorUtf8.empty() ? Host::editorTextUtf8() : editorUtf8; }
    void runStarted() override { buttonsEnabled = false; }
    void lineStarted(int index, const std::string& text) override {
        text3Field = std::to_string(index), text4Field = text;
        linesRun.push_back(index), textsRun.push_back(text);
    }
    void runFinished() override { buttonsEnabled = true, text3Field = "Acabat", text4Field.clear(); }
    void runStopped() override { buttonsEnabled = true; }
    bool isMainWindowVisible() override { return visible; }
    // What the window does for "Executa Ocult" before it continues the run.
    void hide() { visible = false; }
    void endProgram() override { ended = true; }
    void startRunTimer(std::int32_t ms) override { timerDue = now_ + ms; }
    void stopRunTimer() override { timerDue.reset(); }
    long long steadyMs() override { return now_; }
    // A fault of ours fails the test in which it happens.
    void internalError(const std::string& what) override;
    std::vector<bool> systemModal;  // of each message box, in order
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon, bool modal) override {
        messages.push_back({Message::Box, text, title, icon, 0});
        systemModal.push_back(modal);
    }
    bool askYesNo(const std::string& text, const std::string& title) override {
        messages.push_back({Message::Question, text, title, MessageIcon::None, 0});
        return next(answers, false);
    }
    void ferMissatge(const std::string& m, const std::string& t, std::int16_t temps) override {
        messages.push_back({Message::Timed, m, t, MessageIcon::None, temps});
    }

private:
    RecordingPlatform& platform_;
    long long now_ = 0;
};

// Moves a virtual clock (`now` and the platform's) forward by `ms`, firing
// the single-shot timer `timerDue` each time it falls due on the way.
void advanceClock(std::optional<long long>& timerDue, long long& now, RecordingPlatform& platform, long long ms,
                  const std::function<void()>& fire);

// Lines joined with CR LF, with no line break after the last.
std::string join(const std::vector<std::string>& lines);
// A text of the given character codes.
std::string bytes(std::initializer_list<int> codes);

// A temporary folder, removed with everything in it at the end of its scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// An engine wired to a scripted host and a recording platform whose clock
// starts at 10:00:00 on Wednesday 16/12/2026.
struct Rig {
    RecordingPlatform platform;
    ScriptedHost host{platform};
    Engine engine{host, platform};

    Rig();
    // Lines joined with CR LF become the editor text; "Executa tot" runs it.
    void run(const std::vector<std::string>& lines);
};

}  // namespace torvic::test
