#include "platform/system.h"

#include <unistd.h>

#include "platform/linux/linux_platform.h"

namespace torvic {

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<LinuxPlatform>(); }

std::vector<std::string> programArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

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
