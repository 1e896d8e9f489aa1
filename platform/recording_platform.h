#pragma once
// Test platform: a clock that only moves when told to, and a log of every
// service request in call order.
#include <string>
#include <vector>

#include "platform/platform.h"

namespace torvic {

class RecordingPlatform : public Platform {
public:
    DateTime clock;
    std::vector<std::string> calls;

    DateTime now() override { return clock; }
    void beep() override { calls.push_back("beep"); }

    // Sets the clock to a civil date and time of day.
    void setClock(int year, int month, int day, int hour, int minute, int second, int ms = 0);
    // Moves the clock forward, across midnight when needed.
    void advanceClock(long long ms);
};

}  // namespace torvic
