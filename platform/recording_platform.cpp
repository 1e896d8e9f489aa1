#include "platform/recording_platform.h"

namespace torvic {

void RecordingPlatform::setClock(int year, int month, int day, int hour, int minute, int second, int ms) {
    clock.day = serialFromCivil(year, month, day);
    clock.msOfDay = ((hour * 60 + minute) * 60 + second) * 1000 + ms;
}

void RecordingPlatform::advanceClock(long long ms) {
    long long total = clock.msOfDay + ms;
    const long long msPerDay = 86400LL * 1000;
    clock.day += total / msPerDay;
    clock.msOfDay = static_cast<std::int32_t>(total % msPerDay);
}

}  // namespace torvic
