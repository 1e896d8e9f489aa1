// Windows' conventions: "\" paths (a "/" is read too), files marked hidden
// left out, the manual beside the program, and the system information tool
// named by the registry.
#include "platform/conventions.h"

#include <windows.h>

#include <algorithm>

namespace torvic::conventions {
namespace {

// A text value of a key under HKEY_LOCAL_MACHINE; nothing when the key or
// the value cannot be read. The key is opened for reading only: asking for
// every access would fail for every user but an administrator.
bool keyValue(const char* keyName, const char* valueName, std::string& value) {
    value.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buffer[1024];
    DWORD size = sizeof buffer, type = 0;
    const bool ok = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                    ERROR_SUCCESS;
    RegCloseKey(key);
    if (!ok) return false;
    if (size > 0 && buffer[size - 1] == '\0') --size;
    value.assign(buffer, size);
    return true;
}

bool isFile(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

char folderSeparator() { return '\\'; }

std::string folderPart(const std::string& path) {
    const std::size_t end = path.find_last_of("\\/:");
    return end == std::string::npos ? "" : path.substr(0, end + 1);
}

std::string firstMatchingFile(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return "";
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) continue;
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    if (names.empty()) return "";
    return folderPart(pattern) + *std::min_element(names.begin(), names.end());
}

std::string programDataFile(const std::string& programDirectory, const std::string& name) {
    const std::string path = programDirectory + "\\" + name;
    return isFile(path) ? path : "";
}

std::vector<std::string> systemInformationPrograms() {
    std::string value;
    if (keyValue("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", value)) return {"\"" + value + "\""};
    if (keyValue("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", value) &&
        isFile(value + "\\MSINFO32.EXE"))
        return {"\"" + value + "\\MSINFO32.EXE\""};
    return {};
}

}  // namespace torvic::conventions
