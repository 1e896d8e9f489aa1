#pragma once
// The two timers of a run (Timer1 one-shot, Timer2 repeating) as due times on
// a millisecond clock, for hosts that keep time themselves: the console
// runner on the real clock, tests on a virtual one.
#include <cstdint>
#include <functional>

namespace torvic {

class TimerSchedule {
public:
    // Starting a running timer restarts it.
    void start(int timer, std::int32_t intervalMs, long long now);
    void stop(int timer) { slot(timer).on = false; }
    bool isOn(int timer) const { return slot(timer).on; }
    std::int32_t interval(int timer) const { return slot(timer).interval; }

    // Fires, in time order, every timer due at or before `limit`: `moveClockTo`
    // is called with the due time first, then `fire` with the timer's number
    // (Timer1 first on a tie). A zero interval never fires. Returns false when
    // nothing was due.
    bool fireDue(long long limit, const std::function<void(long long)>& moveClockTo,
                 const std::function<void(int)>& fire);
    // The same for the first timer due only.
    bool fireNext(long long limit, const std::function<void(long long)>& moveClockTo,
                  const std::function<void(int)>& fire);

private:
    struct Slot {
        bool on = false;
        std::int32_t interval = 0;
        long long due = 0;
    };
    Slot& slot(int timer) { return timer == 1 ? timer1_ : timer2_; }
    const Slot& slot(int timer) const { return timer == 1 ? timer1_ : timer2_; }

    Slot timer1_, timer2_;
};

}  // namespace torvic
