#include "platform/clock.h"

#include <time.h>

namespace torvic {

long long coarseMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

}  // namespace torvic
