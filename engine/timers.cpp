#include "engine/timers.h"

namespace torvic {

void TimerSchedule::start(int timer, std::int32_t intervalMs, long long now) {
    Slot& s = slot(timer);
    s.on = true;
    s.interval = intervalMs;
    s.due = now + intervalMs;
}

bool TimerSchedule::fireNext(long long limit, const std::function<void(long long)>& moveClockTo,
                             const std::function<void(int)>& fire) {
    const bool t1 = timer1_.on && timer1_.interval > 0 && timer1_.due <= limit;
    const bool t2 = timer2_.on && timer2_.interval > 0 && timer2_.due <= limit;
    if (!t1 && !t2) return false;
    const int timer = t1 && (!t2 || timer1_.due <= timer2_.due) ? 1 : 2;
    Slot& s = slot(timer);
    moveClockTo(s.due);
    if (timer == 1)
        s.on = false;  // one-shot
    else
        s.due += s.interval;  // repeating: due again one interval later
    fire(timer);
    return true;
}

bool TimerSchedule::fireDue(long long limit, const std::function<void(long long)>& moveClockTo,
                            const std::function<void(int)>& fire) {
    bool fired = false;
    while (fireNext(limit, moveClockTo, fire)) fired = true;
    return fired;
}

}  // namespace torvic
