// The Linux desktop's conventions: "/" paths, dot files hidden, the manual
// beside the program or in a system-wide share/torvic, system information
// programs found on the PATH.
#include "platform/conventions.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text_encoding.h"
#include "platform/files.h"

namespace torvic::conventions {

namespace fs = std::filesystem;

char folderSeparator() { return '/'; }

std::string folderPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

namespace {

// A name's characters: its UTF-8 sequences (a malformed byte is one of its own).
std::vector<std::string_view> characters(std::string_view s) {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = std::max<std::size_t>(utf8SequenceLength(s, i), 1);
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

// Whether a name matches a pattern, character by character whatever the
// process's locale: * any run of characters, ? one character.
bool matches(std::string_view pattern, std::string_view name) {
    const auto p = characters(pattern), n = characters(name);
    std::size_t pi = 0, ni = 0, star = std::string::npos, resume = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == "*") {
            star = pi++;
            resume = ni;
        } else if (pi < p.size() && (p[pi] == "?" || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (star != std::string::npos) {
            pi = star + 1;  // the star takes one character more
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*") ++pi;
    return pi == p.size();
}

}  // namespace

std::vector<std::string> matchingFiles(const std::string& pattern) {
    const std::string folder = folderPart(pattern);
    const std::string namePattern = pattern.substr(folder.size());
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder.empty() ? "." : folder, ec)) {
        const std::string name = e.path().filename().string();
        if (name.starts_with('.') || !e.is_regular_file(ec)) continue;
        if (matches(namePattern, name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (std::string& name : names) name = folder + name;
    return names;
}

std::string firstMatchingFile(const std::string& pattern) {
    const std::vector<std::string> files = matchingFiles(pattern);
    return files.empty() ? "" : files.front();
}

std::string programDataFile(const std::string& programDirectory, const std::string& name) {
    for (const std::string& path : {programDirectory + "/" + name, programDirectory + "/../share/torvic/" + name})
        if (std::ifstream(path)) return path;
    return "";
}

std::string currentFolder() {
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    return ec ? "" : here.string();
}

std::string programFolder() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? "" : program.parent_path().string();
}

std::vector<std::string> systemInformationPrograms() {
    // The most complete first.
    static const char* const kPrograms[] = {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor",
                                            "xfce4-taskmanager", "lxtask"};
    const char* path = std::getenv("PATH");
    std::vector<std::string> found;
    for (const char* name : kPrograms) {
        std::istringstream dirs(path ? path : "");
        for (std::string dir; std::getline(dirs, dir, ':');) {
            const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
            std::error_code ec;
            // A command line is 1252 text: a folder it cannot spell is passed over.
            const std::string shown = shownName(candidate.string());
            if (fs::is_regular_file(candidate, ec) && systemName(shown) == candidate.string()) {
                found.push_back("\"" + shown + "\"");
                break;
            }
        }
    }
    return found;
}

std::string recoveryFolder() {
    // $XDG_STATE_HOME, or ~/.local/state where it is unset (or not absolute).
    fs::path base;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        base = state;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        base = fs::path(home) / ".local" / "state";
    else
        return "";
    return (base / "torvic").string();
}

long currentProcessId() { return static_cast<long>(getpid()); }

bool programRunning(long processId) {
    if (processId <= 0 || (kill(static_cast<pid_t>(processId), 0) != 0 && errno != EPERM)) return false;
    // The id may have passed to another program since.
    std::ifstream comm("/proc/" + std::to_string(processId) + "/comm");
    std::string name;
    return !comm || !std::getline(comm, name) || name.starts_with("torvic");
}

void runInBackground() {
    const pid_t thread = static_cast<pid_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, static_cast<id_t>(thread), 19);
    // The idle disk class (ioprio_set has no wrapper in the C library).
    constexpr int kWhoProcess = 1, kClassIdle = 3, kClassShift = 13;
    syscall(SYS_ioprio_set, kWhoProcess, thread, kClassIdle << kClassShift);
}

}  // namespace torvic::conventions
