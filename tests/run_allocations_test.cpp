// A pass through a loop of pos, goto and comment lines allocates nothing
// (counted by replacing operator new: a program of its own).
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "tests/support/scripted_host.h"

namespace {
long allocations = 0;
}  // namespace

void* operator new(std::size_t n) {
    ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace torvic::test {
namespace {

struct QuietHost : ScriptedHost {  // shows nothing of the line being run
    using ScriptedHost::ScriptedHost;
    void lineStarted(int, const std::string&) override {}
};

// Allocations made by loading and running the loop `passes` times.
long allocationsOfLoop(int passes) {
    RecordingPlatform platform;
    QuietHost host(platform);
    Engine engine(host, platform);
    host.engine = &engine;
    engine.document.setText("una línia\r\nuna altra\r\n");
    engine.document.posTreball = 1;
    host.editor = "' a comment\r\n/ another\r\npos(3)\r\npos(-2)\r\ngoto(0," + std::to_string(passes) + ")\r\n";
    const long before = allocations;
    engine.runAll();
    const long made = allocations - before;
    EXPECT_EQ(engine.run.linies[4], "goto(0," + std::to_string(passes) + ")") << "the count is restored";
    EXPECT_EQ(engine.document.posTreball, passes + 2) << "every pass ran";
    return made;
}

TEST(RunAllocations, APassThroughALoopAllocatesNothing) {
    // Counts of as many digits: the goto line outgrows its room once in both.
    allocationsOfLoop(10000);  // the tables and buffers made once per program
    const long few = allocationsOfLoop(20000);
    const long many = allocationsOfLoop(90000);
    EXPECT_GT(few, 0) << "the count must see the run's allocations at all";
    EXPECT_EQ(many, few) << static_cast<double>(many - few) / 70000 << " allocations a pass";
}

}  // namespace
}  // namespace torvic::test
