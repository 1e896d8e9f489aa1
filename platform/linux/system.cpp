#include "platform/system.h"

#include <unistd.h>

#include "platform/linux/linux_platform.h"

namespace torvic {

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<LinuxPlatform>(); }

void writeStandardError(std::string_view utf8) {
    std::size_t done = 0;
    while (done < utf8.size()) {
        ssize_t n = write(STDERR_FILENO, utf8.data() + done, utf8.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
}

bool standardInputIsTerminal() { return isatty(STDIN_FILENO) != 0; }

}  // namespace torvic
