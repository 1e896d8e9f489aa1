#include "platform/linux_platform.h"

#include <unistd.h>

namespace torvic {

DateTime LinuxPlatform::now() { return localNow(); }

void LinuxPlatform::beep() {
    if (isatty(STDERR_FILENO)) {
        ssize_t n = write(STDERR_FILENO, "\a", 1);
        (void)n;
    }
}

}  // namespace torvic
