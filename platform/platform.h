#pragma once
// Operating-system services the script commands use. The Linux
// implementation talks to the real system; the recording fake lets tests
// see every request and set the clock by hand.
#include "base/datetime.h"

namespace torvic {

class Platform {
public:
    virtual ~Platform() = default;

    // Current local date and time.
    virtual DateTime now() = 0;
    // The system's default beep.
    virtual void beep() = 0;
};

}  // namespace torvic
