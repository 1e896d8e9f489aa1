#include "tests/support/fake_views.h"

namespace torvic::test {

void WindowRig::advance(long long ms) {
    // Timer 1 fires once after its interval; timer 2 every interval.
    long long elapsed = 0;
    long long next2 = view.timerOn[2] ? view.timerInterval[2] : -1;
    long long due1 = view.timerOn[1] && view.timerInterval[1] > 0 ? view.timerInterval[1] : -1;
    while (true) {
        long long step = -1;
        if (due1 >= 0) step = due1;
        if (next2 >= 0 && (step < 0 || next2 < step)) step = next2;
        if (step < 0 || step > ms) break;
        platform.advanceClock(step - elapsed);
        elapsed = step;
        if (step == due1) {
            due1 = -1;
            torvic.Timer1_Timer();
        } else {
            next2 += view.timerInterval[2];
            torvic.Timer2_Timer();
        }
        if (due1 < 0 && view.timerOn[1] && view.timerInterval[1] > 0) due1 = elapsed + view.timerInterval[1];
        if (!view.timerOn[2]) next2 = -1;
    }
    platform.advanceClock(ms - elapsed);
}

}  // namespace torvic::test
