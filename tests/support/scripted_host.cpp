#include "tests/support/scripted_host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace torvic::test {

void ScriptedHost::internalError(const std::string& what) { ADD_FAILURE() << "internal error: " << what; }

void advanceClock(std::optional<long long>& timerDue, long long& now, RecordingPlatform& platform, long long ms,
                  const std::function<void()>& fire) {
    const long long end = now + ms;
    while (timerDue && *timerDue <= end) {
        const long long at = std::max(*timerDue, now);
        platform.advanceClock(at - now);
        now = at;
        timerDue.reset();  // a single shot
        fire();
    }
    platform.advanceClock(end - now);
    now = end;
}

void ScriptedHost::advance(long long ms) {
    advanceClock(timerDue, now_, platform_, ms, [this] { engine->runTimerFired(); });
}

std::string join(const std::vector<std::string>& lines) {
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) s += (i ? "\r\n" : "") + lines[i];
    return s;
}

std::string bytes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s += static_cast<char>(c);
    return s;
}

TempDir::TempDir() {
    namespace fs = std::filesystem;
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path() / ("torvic-test-" + std::to_string(seed()));
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            path_ = p.generic_string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

Rig::Rig() {
    host.engine = &engine;
    platform.setClock(2026, 12, 16, 10, 0, 0);
}

void Rig::run(const std::vector<std::string>& script) {
    host.editor = join(script);
    engine.runAll();
}

}  // namespace torvic::test
