#pragma once
// Test host: answers prompts from a queue, records every message, and runs
// the two timers on a virtual clock that only moves when the test says so.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/host.h"
#include "engine/timers.h"
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
    std::string text3Field = "0";
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

    TimerSchedule timers;

    // Moves the virtual clock forward by `ms`, firing the timers due on the way.
    void advance(long long ms);

    std::string editorText() override { return editor; }
    // The editor text without loss, when it holds characters 1252 cannot
    // (`editor` then has '?' in their places).
    std::string editorUtf8;
    std::string editorTextUtf8() override { return editorUtf8.empty() ? Host::editorTextUtf8() : editorUtf8; }
    std::string text3() override { return text3Field; }
    void setText3(const std::string& t) override { text3Field = t; }
    void setText4(const std::string& t) override { text4Field = t; }
    void showRunLine(int index, const std::string& text) override {
        text3Field = std::to_string(index), text4Field = text;
        linesRun.push_back(index), textsRun.push_back(text);
    }
    void setRunButtonsEnabled(bool e) override { buttonsEnabled = e; }
    bool isMainWindowVisible() override { return visible; }
    // What the window does for "Executa Ocult" before it continues the run.
    void hide() { visible = false; }
    void endProgram() override { ended = true; }
    void startTimer1(std::int32_t ms) override { timers.start(1, ms, now_); }
    void stopTimer1() override { timers.stop(1); }
    void startTimer2(std::int32_t ms) override { timers.start(2, ms, now_); }
    void stopTimer2() override { timers.stop(2); }
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
// every timer of `timers` that falls due on the way, in time order.
void advanceClock(TimerSchedule& timers, long long& now, RecordingPlatform& platform, long long ms,
                  const std::function<void(int timer)>& fire);

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
