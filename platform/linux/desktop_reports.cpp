// What the desktop backends say when a command finds nothing to act on.
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/linux/desktop_backend.h"
#include "platform/platform_texts.h"

namespace torvic {

RunTimeError noWindowFound(double processId, const std::string& lookedIn) {
    const std::string id = std::to_string(static_cast<long long>(processId));
    // The program's name as the system keeps it (/proc/N/comm), which also
    // says whether the process is there at all.
    std::string program;
    if (processId > 0 && processId < 4194305) {
        std::ifstream comm("/proc/" + id + "/comm");
        std::getline(comm, program);
    }
    if (program.empty()) return RunTimeError(platform_texts::noSuchProcess(id));
    return RunTimeError(platform_texts::noWindowOfProcessIn(id, shownName(program), lookedIn));
}

}  // namespace torvic
