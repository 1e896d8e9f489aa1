// How torvic.exe's editor window copes with a large file, against the
// system's bare edit box opening the same file: the time to open it (until
// painted), the peak memory it takes, and the time each key takes to show
// (a character typed at 20 places spread through the text, each timed from
// its key down to the window painted again; the median and the slowest).
// Memory is the peak working set over what the process took with its
// window up. Then, after the keys: Ctrl+End followed by Ctrl+Home, from
// the first key down to the window painted at the top again (the median
// of five), and a character typed at the end of the longest line, each
// making it longer (the median of 20).
// Usage (under Wine): editor_speed_win32 bare|torvic FILE   (prints to stdout)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/win32/form_win32.h"
#include "editor/command_line.h"
#include "editor/editor_windows.h"
#include "editor/win32/win32_views.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

using namespace torvic;

namespace {

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

PROCESS_MEMORY_COUNTERS memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// Everything waiting handled and painted.
void settle(HWND window) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Types 'x' at the start of 20 lines spread through the text
// (`placeCaret` puts the caret at the start of the i-th twenty-first).
std::vector<double> typeKeys(HWND window, HWND box, const std::function<void(int)>& placeCaret) {
    std::vector<double> times;
    for (int i = 1; i <= 20; ++i) {
        placeCaret(i);
        settle(window);
        const Clock::time_point t = Clock::now();
        SendMessageW(box, WM_KEYDOWN, 'X', 0x002D0001);
        SendMessageW(box, WM_CHAR, 'x', 0x002D0001);
        SendMessageW(box, WM_KEYUP, 'X', static_cast<LPARAM>(0xC02D0001u));
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        times.push_back(msSince(t));
    }
    return times;
}

// A key with Ctrl held (as the boxes read it, from the thread's key
// state), until the window is painted again.
double ctrlKey(HWND window, HWND box, WPARAM vk) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    const Clock::time_point t = Clock::now();
    SendMessageW(box, WM_KEYDOWN, vk, 0x01000001);
    SendMessageW(box, WM_KEYUP, vk, static_cast<LPARAM>(0xC1000001u));
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double ms = msSince(t);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
    return ms;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

// The first of the longest lines of a file (CR LF line breaks).
long long longestLine(const std::string& bytes) {
    long long line = 0, longest = 0;
    std::size_t widest = 0, start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2, ++line)
        if (end - start > widest) {
            widest = end - start;
            longest = line;
        }
    return longest;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string args = commandLineArguments(GetCommandLineA());
    const std::size_t space = args.find(' ');
    if (space == std::string::npos) return 2;
    const std::string mode = args.substr(0, space);
    std::string path = args.substr(space + 1);
    if (path.size() > 1 && path.front() == '"') path = path.substr(1, path.size() - 2);
    WindowsPlatform platform;
    std::unique_ptr<EditorWindows<win32::Win32Views>> windows;
    HWND window = nullptr, box = nullptr;
    std::function<void(int)> placeCaret;
    std::function<void()> toLongestEnd;  // the caret at the end of the longest line
    long long lines = 0;
    SIZE_T before = 0;  // with the window up: what the file takes
    double openMs = 0;
    if (mode == "bare") {
        window = CreateWindowExW(0, L"EDIT", L"bare", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                 ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VISIBLE,
                                 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        box = window;
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(win32::fixedFont(9.75)), FALSE);
        SendMessageW(box, EM_SETLIMITTEXT, 0, 0);
        settle(window);
        before = memory().WorkingSetSize;
        const Clock::time_point t = Clock::now();
        HANDLE file =
            CreateFileW(win::wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        std::string bytes(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        SetWindowTextW(box, win::wide(bytes).c_str());
        settle(window);
        openMs = msSince(t);
        lines = static_cast<long long>(SendMessageW(box, EM_GETLINECOUNT, 0, 0));
        placeCaret = [box, lines](int i) {
            const LRESULT at = SendMessageW(box, EM_LINEINDEX, static_cast<WPARAM>(lines * i / 21), 0);
            SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(at), at);
            SendMessageW(box, EM_SCROLLCARET, 0, 0);
        };
        toLongestEnd = [box, longest = longestLine(bytes)] {
            const LRESULT start = SendMessageW(box, EM_LINEINDEX, static_cast<WPARAM>(longest), 0);
            const LRESULT at = start + SendMessageW(box, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
            SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(at), at);
            SendMessageW(box, EM_SCROLLCARET, 0, 0);
        };
    } else {
        windows = std::make_unique<EditorWindows<win32::Win32Views>>(platform);
        window = windows->mainView.hwnd();
        windows->mainView.show();  // the controls are made as the window is first shown
        box = windows->mainView.control("Text1");
        settle(window);
        before = memory().WorkingSetSize;
        const Clock::time_point t = Clock::now();
        windows->main.onLoad("\"" + path + "\"");  // opened as a user would
        settle(window);
        openMs = msSince(t);
        win32::ScriptBox& script = windows->mainView.editorBox();
        lines = static_cast<long long>(script.text().lineCount());
        placeCaret = [&script](int i) {
            ScriptText& text = script.text();
            const std::size_t at = text.lineStart(text.lineOf(text.size() * static_cast<std::size_t>(i) / 21));
            script.setCaret(at, at);
        };
        toLongestEnd = [&script, longest = longestLine(std::string(script.text().text()))] {
            const std::size_t at = script.text().lineEnd(static_cast<std::size_t>(longest));
            script.setCaret(at, at);
        };
    }
    // The peak up to the keys typed: the first edit of a large text makes
    // room in it, which takes its most.
    std::vector<double> keys = typeKeys(window, box, placeCaret);
    const SIZE_T peak = memory().PeakWorkingSetSize;
    std::sort(keys.begin(), keys.end());
    std::vector<double> ends;
    for (int i = 0; i < 5; ++i) {
        settle(window);
        ends.push_back(ctrlKey(window, box, VK_END) + ctrlKey(window, box, VK_HOME));
    }
    toLongestEnd();
    std::vector<double> widening;
    for (int i = 0; i < 20; ++i) {
        settle(window);
        const Clock::time_point t = Clock::now();
        SendMessageW(box, WM_KEYDOWN, 'X', 0x002D0001);
        SendMessageW(box, WM_CHAR, 'x', 0x002D0001);
        SendMessageW(box, WM_KEYUP, 'X', static_cast<LPARAM>(0xC02D0001u));
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        widening.push_back(msSince(t));
    }
    std::printf("%s: open %.0f ms, memory %lu MB, key median %.1f ms, slowest %.1f ms, lines %lld, "
                "ctrl+end+home %.1f ms, widening key %.1f ms\n",
                mode.c_str(), openMs, static_cast<unsigned long>((peak - before) >> 20), (keys[9] + keys[10]) / 2,
                keys.back(), lines, median(ends), median(widening));
    std::fflush(stdout);
    // The window ends without asking about the typed keys.
    ExitProcess(0);
}
