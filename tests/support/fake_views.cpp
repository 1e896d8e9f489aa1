#include "tests/support/fake_views.h"

namespace torvic::test {

void WindowRig::advance(long long ms) {
    advanceClock(view.timers, view.now, platform, ms, [this](int timer) {
        timer == 1 ? torvic.onWaitTimer() : torvic.onClockTimer();
    });
}

}  // namespace torvic::test
