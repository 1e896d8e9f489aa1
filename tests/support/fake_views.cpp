#include "tests/support/fake_views.h"

namespace torvic::test {

void WindowRig::advance(long long ms) {
    advanceClock(view.timerDue, view.now, platform, ms, [this] { torvic.onRunTimer(); });
}

}  // namespace torvic::test
