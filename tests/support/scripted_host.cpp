#include "tests/support/scripted_host.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace torvic::test {

void ScriptedHost::showRunLine(int index, const std::string& text) {
    text3Field = std::to_string(index);
    text4Field = text;
    linesRun.push_back(index);
    textsRun.push_back(text);
}

void ScriptedHost::startTimer1(std::int32_t ms) {
    timer1On = true;
    timer1Interval = ms;
    timer1Due = now_ + ms;
}

void ScriptedHost::startTimer2(std::int32_t ms) {
    timer2On = true;
    timer2Interval = ms;
    timer2Due = now_ + ms;
}

bool ScriptedHost::askYesNo(const std::string& text, const std::string& title) {
    messages.push_back({Message::Question, text, title, MessageIcon::None, 0});
    if (answers.empty()) {
        ++unansweredQuestions;
        return false;
    }
    bool a = answers.front();
    answers.pop_front();
    return a;
}

void ScriptedHost::advance(long long ms) {
    const long long end = now_ + ms;
    for (;;) {
        // A zero interval never fires.
        bool t1 = timer1On && timer1Interval > 0 && timer1Due <= end;
        bool t2 = timer2On && timer2Interval > 0 && timer2Due <= end;
        if (!t1 && !t2) break;
        bool fireFirst = t1 && (!t2 || timer1Due <= timer2Due);
        long long at = fireFirst ? timer1Due : timer2Due;
        platform_.advanceClock(at - now_);
        now_ = at;
        if (fireFirst) {
            engine->Timer1_Timer();
        } else {
            timer2Due += timer2Interval;
            engine->Timer2_Timer();
        }
    }
    platform_.advanceClock(end - now_);
    now_ = end;
}

std::string lines(std::initializer_list<const char*> ls) {
    std::string s;
    for (const char* l : ls) {
        if (!s.empty()) s += "\r\n";
        s += l;
    }
    return s;
}

TempDir::TempDir() {
    char tmpl[] = "/tmp/torvic-test-XXXXXX";
    if (!mkdtemp(tmpl)) throw std::runtime_error("cannot make a temporary folder");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

Rig::Rig() {
    host.engine = &engine;
    platform.setClock(2026, 12, 16, 10, 0, 0);
}

std::string Rig::join(const std::vector<std::string>& lines) {
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) s += "\r\n";
        s += lines[i];
    }
    return s;
}

void Rig::run(const std::vector<std::string>& lines) {
    host.editor = join(lines);
    engine.Command9_Click();
}

}  // namespace torvic::test
