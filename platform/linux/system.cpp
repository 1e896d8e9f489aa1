#include "platform/system.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

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

namespace {

int terminationPipe[2] = {-1, -1};

void onTerminationSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (write(terminationPipe[1], &number, 1) < 0) {
        // A full pipe already holds a request to end.
    }
    errno = saved;
}

}  // namespace

int catchTerminationSignals() {
    if (terminationPipe[0] >= 0) return terminationPipe[0];
    if (pipe2(terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    return terminationPipe[0];
}

void endBySignal(int signal) {
    std::signal(signal, SIG_DFL);
    raise(signal);
    _exit(128 + signal);
}

bool standardInputIsTerminal() { return isatty(STDIN_FILENO) != 0; }

}  // namespace torvic
