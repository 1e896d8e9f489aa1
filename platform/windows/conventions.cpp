// Windows' conventions: "\" paths (a "/" is read too), files marked hidden
// left out, the manual beside the program, and the system information tool
// named by the registry. Names go through the wide API, as UTF-8 system
// names on our side.
#include "platform/conventions.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "platform/files.h"
#include "platform/windows/wide_text.h"

namespace torvic::conventions {
namespace {

using win::utf8;
using win::wide;

// A text value of a key under HKEY_LOCAL_MACHINE, as UTF-8; nothing when the
// key or the value cannot be read. The key is opened for reading only:
// asking for every access would fail for every user but an administrator.
bool keyValue(const wchar_t* keyName, const wchar_t* valueName, std::string& value) {
    value.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    wchar_t buffer[1024];
    DWORD size = sizeof buffer, type = 0;
    const bool ok = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                    ERROR_SUCCESS;
    RegCloseKey(key);
    if (!ok) return false;
    std::size_t length = size / sizeof(wchar_t);
    if (length > 0 && buffer[length - 1] == L'\0') --length;
    value = utf8(std::wstring_view(buffer, length));
    return true;
}

bool isFile(const std::string& path) {
    const DWORD a = GetFileAttributesW(wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// A program's path as a command line (1252) that starts it, or "" when 1252
// cannot spell it.
std::string quotedCommand(const std::string& path) {
    const std::string shown = shownName(path);
    return systemName(shown) == path ? "\"" + shown + "\"" : "";
}

// A folder from a wide call that takes a buffer and gives the length it
// wrote (or the size it needs).
template <typename Call>
std::string wideFolder(Call call) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return "";
        if (n < buffer.size()) return utf8(std::wstring_view(buffer.data(), n));
        buffer.resize(static_cast<std::size_t>(n) * 2);
    }
    return "";
}

}  // namespace

char folderSeparator() { return '\\'; }

std::string folderPart(const std::string& path) {
    const std::size_t end = path.find_last_of("\\/:");
    return end == std::string::npos ? "" : path.substr(0, end + 1);
}

std::vector<std::string> matchingFiles(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) continue;
        names.push_back(utf8(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    for (std::string& name : names) name = folderPart(pattern) + name;
    return names;
}

std::string firstMatchingFile(const std::string& pattern) {
    const std::vector<std::string> files = matchingFiles(pattern);
    return files.empty() ? "" : files.front();
}

std::string programDataFile(const std::string& programDirectory, const std::string& name) {
    const std::string path = programDirectory + "\\" + name;
    return isFile(path) ? path : "";
}

std::string currentFolder() {
    return wideFolder([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

std::string programFolder() {
    const std::string program =
        wideFolder([](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
    const std::size_t slash = program.find_last_of("\\/");
    return slash == std::string::npos ? "" : program.substr(0, slash);
}

std::vector<std::string> systemInformationPrograms() {
    std::string value;
    if (keyValue(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", value) && !quotedCommand(value).empty())
        return {quotedCommand(value)};
    if (keyValue(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", value) &&
        isFile(value + "\\MSINFO32.EXE") && !quotedCommand(value + "\\MSINFO32.EXE").empty())
        return {quotedCommand(value + "\\MSINFO32.EXE")};
    return {};
}

std::string recoveryFolder() {
    const std::string local =
        wideFolder([](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, size); });
    if (local.empty()) return "";
    return local + "\\Torvic";
}

long currentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool programRunning(long processId) {
    if (processId <= 0) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId));
    if (!process) return false;
    DWORD code = 0;
    bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    // The id may have passed to another program since.
    wchar_t image[1024];
    DWORD size = 1024;
    if (running && QueryFullProcessImageNameW(process, 0, image, &size)) {
        std::wstring name(image, size);
        name = name.substr(name.find_last_of(L"\\/") + 1);
        std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
        running = name.rfind(L"torvic", 0) == 0;
    }
    CloseHandle(process);
    return running;
}

void runInBackground() { SetThreadPriority(GetCurrentThread(), THREAD_MODE_BACKGROUND_BEGIN); }

}  // namespace torvic::conventions
