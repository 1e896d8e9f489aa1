#include "tests/support/fake_views.h"

namespace torvic::test {

void WindowRig::advance(long long ms) {
    const long long end = view.now + ms;
    view.timers.fireDue(
        end,
        [this](long long at) {
            platform.advanceClock(at - view.now);
            view.now = at;
        },
        [this](int timer) {
            if (timer == 1)
                torvic.onWaitTimer();
            else
                torvic.onClockTimer();
        });
    platform.advanceClock(end - view.now);
    view.now = end;
}

}  // namespace torvic::test
