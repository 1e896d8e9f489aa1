#include <gtest/gtest.h>

#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using test::Message;
using test::Rig;

constexpr long long kMinute = 60'000;
constexpr long long kHour = 60 * kMinute;
constexpr long long kDay = 24 * kHour;

std::size_t beeps(const Rig& rig) { return rig.platform.calls.size(); }

TEST(ClockWaits, ResumeExactlyWhenDue) {
    // The time of day, the line, when it resumes (ms), and horaEspera of a
    // clock wait ("" for Timer1).
    struct Case { int h, m, s; const char* line; long long resumesAfter; const char* target; } cases[] = {
        {10, 0, 0, "wait(65535)", 65535, ""},
        {10, 0, 0, "wait(65536)", kMinute, "10:01"},
        {10, 0, 30, "wait(0,5)", 5 * kMinute, "10:05"},   // 10:00:30 -> 10:05:30
        {10, 0, 0, "wait(0, 1.5)", kMinute, "10:01"},
        {23, 58, 30, "wait(0,3)", 3 * kMinute, "00:01"},  // across midnight
        {14, 29, 50, "time(14:30)", kMinute, "14:30"},    // first tick at 14:30:50
        {14, 30, 10, "time(14:30)", kDay, "14:30"},       // its minute has begun: the next day
        {7, 0, 0, "time(8:00:45)", kHour, "08:00"},       // seconds are ignored
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.platform.setClock(2026, 12, 16, c.h, c.m, c.s);
        rig.run({c.line, "beep"});
        EXPECT_EQ(rig.engine.waiting().horaEspera, c.target) << c.line;
        EXPECT_EQ(rig.engine.waiting().onClock, *c.target != 0) << c.line;
        rig.host.advance(c.resumesAfter - 1);
        EXPECT_EQ(beeps(rig), 0u) << c.line;
        rig.host.advance(1);
        EXPECT_EQ(beeps(rig), 1u) << c.line;
        EXPECT_EQ(rig.host.text3Field, "Acabat") << c.line;
    }
}

// The host's timer may go off early or late: a wait never ends before its
// time, and the minute check counts from its due time, not from when it ran.
TEST(ClockWaits, AnEarlyTimerIsSetAgainAndTheMinuteDoesNotDrift) {
    Rig rig;
    rig.run({"wait(1000)", "beep"});
    rig.host.advance(400);
    rig.engine.runTimerFired();  // 600 ms early
    EXPECT_EQ(beeps(rig), 0u);
    EXPECT_EQ(rig.host.timerDue, 1000) << "set again for the rest";
    rig.host.advance(600);
    EXPECT_EQ(beeps(rig), 1u);

    Rig clock;
    clock.platform.setClock(2026, 12, 16, 14, 0, 0);
    clock.run({"time(14:30)", "beep"});
    EXPECT_EQ(clock.host.timerDue, kMinute);
    clock.host.timerDue.reset();
    clock.host.advance(kMinute + 700);  // the tick comes 700 ms late
    clock.engine.runTimerFired();
    EXPECT_EQ(clock.host.timerDue, 2 * kMinute) << "the next tick keeps the minute";
    clock.host.advance(29 * kMinute);
    EXPECT_EQ(beeps(clock), 1u);
}

// A wait whose target falls on the calendar's first day is still a date; a
// zero interval and a bare number never resume.
TEST(ClockWaits, TheCalendarsFirstDayAndWaitsThatNeverResume) {
    Rig first;
    first.platform.setClock(100, 1, 1, 10, 0, 0);
    first.run({"wait(-60000,1)", "beep"});
    EXPECT_TRUE(first.host.messages.empty());
    EXPECT_TRUE(first.engine.waiting().onClock);
    for (const char* line : {"wait()", "time(8)"}) {
        Rig rig;
        rig.run({line, "beep"});
        rig.host.advance(2 * kDay);
        EXPECT_EQ(beeps(rig), 0u) << line;
    }
}

TEST(Date, WaitsUntilTheDateCheckingAtMidnight) {
    // Today is 16/12/2026.
    struct Case { const char* line; bool waits; } cases[] = {
        {"date(16)", false}, {"date(25/12)", true}, {"date(1/12)", false}, {"date(25/12/26)", true},
        {"date(1/1/2026)", false},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.run({"'x", c.line, "beep"});
        EXPECT_EQ(beeps(rig), c.waits ? 0u : 1u) << c.line;
        if (c.waits) {
            EXPECT_EQ(rig.engine.waiting().horaEspera, "00:00");
            EXPECT_EQ(rig.engine.run.liniaActual, 1);  // back on the date line
            EXPECT_EQ(rig.host.text3Field, "1");
        }
    }

    Rig rig;
    rig.run({"date(25)", "beep"});
    // 10:00 on the 16th to midnight of the 25th: the line is re-run each midnight.
    rig.host.advance(8 * kDay + 14 * kHour - 1);
    EXPECT_EQ(beeps(rig), 0u);
    rig.host.advance(1);
    EXPECT_EQ(beeps(rig), 1u);
    EXPECT_EQ(rig.platform.clock.day, serialFromCivil(2026, 12, 25));
    long long dateRuns = 0;
    for (int i : rig.host.linesRun) dateRuns += i == 0;
    EXPECT_EQ(dateRuns, 10);  // the first run and one per midnight from the 17th to the 25th
}

TEST(Goto, CountIsKeptInTheLineEntryEvenWhenTheTargetFails) {
    Rig rig;
    rig.run({"'0", "'1", "beep", "goto(2,3)", "'4"});
    EXPECT_EQ(beeps(rig), 4u);
    std::vector<std::string> gotoTexts;
    for (std::size_t i = 0; i < rig.host.linesRun.size(); ++i)
        if (rig.host.linesRun[i] == 3) gotoTexts.push_back(rig.host.textsRun[i]);
    EXPECT_EQ(gotoTexts, (std::vector<std::string>{"goto(2,3)", "goto(2,2)3", "goto(2,1)3", "goto(2,0)3"}));
    EXPECT_EQ(rig.engine.run.linies[3], "goto(2,3)");

    Rig failing;
    failing.host.answers = {true};
    failing.run({"'0", "goto(40000,1)", "goto(0,1)"});
    EXPECT_EQ(failing.host.messages.size(), 1u);  // the second pass finds the count used up
    EXPECT_EQ(failing.host.linesRun, (std::vector<int>{0, 1, 2, 0, 1, 2}));
}

TEST(Goto, TargetsAndCounts) {
    struct Case { std::vector<std::string> script; std::vector<int> lines; } cases[] = {
        {{"'0", "'1", "'2", "'3", "goto(0,1)"}, {0, 1, 2, 3, 4, 0, 1, 2, 3, 4}},
        {{"'0", "goto(-2,1)"}, {0, 1, 0, 1}},
        {{"'0", "goto(5)", "'2"}, {0, 1, 2}},
        {{"'0", "goto(2,0)", "'2"}, {0, 1, 2}},
        {{"'0", "'1", "'2", "goto(0.5,1)"}, {0, 1, 2, 3, 1, 2, 3}},  // 0.5 - 1 rounds to 0: line 1
        {{"goto(3,1)", "'1", "'2", "'3"}, {0, 3}},
        {{"goto(400,1)", "'1"}, {0}},  // past the table: the run ends there
        {{"'0", "goto(0,2"}, {0, 1, 0, 1, 0, 1}},          // an unclosed list still counts
        {{"'s", "'1", "goto(1,2)", "goto(0,1)"}, {0, 1, 2, 1, 2, 1, 2, 3, 0, 1, 2, 1, 2, 1, 2, 3}},  // entered again
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.run(c.script);
        EXPECT_EQ(rig.host.linesRun, c.lines) << c.script.back();
        EXPECT_EQ(rig.host.text3Field, "Acabat");
    }
}

// Runs a block of `line` (closed by its keyword alone) on the given day and
// time: whether the block ran, and that the run went on after it either way.
void expectBlock(int y, int mo, int d, int h, int m, int s, const std::string& line, bool runs) {
    Rig rig;
    rig.platform.setClock(y, mo, d, h, m, s);
    rig.run({line, "beep", line.substr(0, line.find('(')) + "()", "'after"});
    EXPECT_EQ(beeps(rig), runs ? 1u : 0u) << line << " on " << d << "/" << mo << " at " << h << ":" << m << ":" << s;
    EXPECT_EQ(rig.host.linesRun.back(), 3) << line;
}

TEST(Iftime, ExecutesTheBlockOnlyInsideTheWindow) {
    struct Case { int h, m, s; const char* line; bool runs; } cases[] = {
        {8, 0, 0, "iftime(8,12)", true},       {12, 0, 0, "iftime(8,12)", true},
        {12, 0, 1, "iftime(8,12)", false},     {7, 59, 59, "iftime(8,12)", false},
        {23, 0, 0, "iftime(22,6)", true},      {6, 0, 0, "iftime(22,6)", true},
        {12, 0, 0, "iftime(22,6)", false},     {10, 0, 0, "iftime(10:00:00)", true},
        {10, 0, 1, "iftime(10:00:00)", false}, {10, 20, 0, "iftime(9:30,10:15)", false},
        {3, 0, 0, "iftime(,5)", true},
        // A bare number of three or more characters is a date: its fraction is the time.
        {0, 0, 0, "iftime(800)", true},        {0, 0, 1, "iftime(800)", false},
        {12, 0, 0, "iftime(100.5)", true},     {19, 0, 0, "iftime(100.25,100.75)", false},
    };
    for (const auto& c : cases) expectBlock(2026, 12, 16, c.h, c.m, c.s, c.line, c.runs);
}

TEST(Iftime, TheSearchForTheNextIftimeMatchesTheKeywordOrEndsTheRun) {
    Rig rig;
    rig.run({"iftime(1,2)", "beep", "' iftime here", "  IFTIME (  )", "beep"});
    EXPECT_EQ(rig.host.linesRun, (std::vector<int>{0, 3, 4}));
    Rig none;
    none.run({"iftime(1,2)", "beep", "beep"});
    EXPECT_EQ(beeps(none), 0u);
    EXPECT_EQ(none.host.text3Field, "Acabat");
}

TEST(Ifdate, DateAndWeekdayWindows) {
    struct Case { int y, mo, d; const char* line; bool runs; } cases[] = {
        {2026, 12, 16, "ifdate(1,15)", false},      {2026, 12, 15, "ifdate(1,15)", true},
        {2026, 12, 16, "ifdate(20/12,24/12)", false}, {2026, 12, 22, "ifdate(20/12,24/12)", true},
        {2026, 12, 16, "ifdate(20/12/2026,10/1/2027)", false},
        {2027, 1, 5, "ifdate(20/12/2026,10/1/2027)", true},
        {2026, 12, 2, "ifdate(28,3)", true},        {2026, 12, 16, "ifdate(28,3)", false},
        {2026, 2, 28, "ifdate(31)", false},         {2026, 3, 3, "ifdate(1,31)", true},
        // Day 31 is read in today's month: in March, not 3 March.
        {2026, 3, 3, "ifdate(31,31)", false},       {2026, 2, 27, "ifdate(20,31)", true},
        // Weekdays: 16/12/2026 is a Wednesday (4), 19/12/2026 a Saturday (7).
        {2026, 12, 16, "ifdate(2,6,1)", true},      {2026, 12, 19, "ifdate(2,6,1)", false},
        {2026, 12, 19, "ifdate(6,2,1)", true},      {2026, 12, 17, "ifdate(4,,1)", false},
        // A bare number is a serial day: 46372 is 16/12/2026.
        {2026, 12, 16, "ifdate(46372)", true},      {2026, 12, 17, "ifdate(46372)", false},
        {2026, 12, 17, "ifdate(46370,46375)", true},
    };
    for (const auto& c : cases) expectBlock(c.y, c.mo, c.d, 10, 0, 0, c.line, c.runs);
}

}  // namespace
}  // namespace torvic
