// The Linux desktop's conventions: "/" paths, dot files hidden, the manual
// beside the program or in a system-wide share/torvic, system information
// programs found on the PATH.
#include "platform/conventions.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace torvic::conventions {

namespace fs = std::filesystem;

char folderSeparator() { return '/'; }

std::string folderPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string firstMatchingFile(const std::string& pattern) {
    const std::string folder = folderPart(pattern);
    const std::string namePattern = pattern.substr(folder.size());
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder.empty() ? "." : folder, ec)) {
        const std::string name = e.path().filename().string();
        if (name.starts_with('.') || !e.is_regular_file(ec)) continue;
        if (fnmatch(namePattern.c_str(), name.c_str(), 0) == 0) names.push_back(name);
    }
    if (names.empty()) return "";
    return folder + *std::min_element(names.begin(), names.end());
}

std::string programDataFile(const std::string& programDirectory, const std::string& name) {
    for (const std::string& path : {programDirectory + "/" + name, programDirectory + "/../share/torvic/" + name})
        if (std::ifstream(path)) return path;
    return "";
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
            if (fs::is_regular_file(candidate, ec)) {
                found.push_back("\"" + candidate.string() + "\"");
                break;
            }
        }
    }
    return found;
}

}  // namespace torvic::conventions
