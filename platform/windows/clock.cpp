#include "platform/clock.h"

#include <windows.h>

namespace torvic {

long long coarseMilliseconds() { return static_cast<long long>(GetTickCount64()); }

}  // namespace torvic
