#include "platform/system.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

namespace torvic {

void prepareProcess() {
    // A failing drive or a crash never waits on a dialog nobody sees.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
}

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<WindowsPlatform>(); }

std::vector<std::string> programArguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wideArgs = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wideArgs) return args;
    for (int i = 1; i < count; ++i) args.push_back(win::utf8(wideArgs[i]));
    LocalFree(wideArgs);
    return args;
}

void writeStandardError(std::string_view utf8) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err == INVALID_HANDLE_VALUE || !err || utf8.empty()) return;
    DWORD mode = 0;
    if (GetConsoleMode(err, &mode)) {
        // A console shows UTF-16 right whatever its code page.
        const std::wstring text = win::wide(utf8);
        DWORD written = 0;
        WriteConsoleW(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // A file or a pipe gets the UTF-8 bytes.
    std::size_t done = 0;
    while (done < utf8.size()) {
        DWORD written = 0;
        if (!WriteFile(err, utf8.data() + done, static_cast<DWORD>(utf8.size() - done), &written, nullptr) ||
            written == 0)
            break;
        done += written;
    }
}

bool standardInputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace torvic
