// How long "Executa tot" takes in torvic.exe's window on a script given on
// the command line, through the same code as a user's click; with "stop",
// the script is an endless loop that "Stop" is pressed on after a second.
// Usage (under Wine): run_speed_win32 SCRIPT [stop]   (prints to run_speed.txt beside the script)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "editor/command_line.h"
#include "editor/editor_windows.h"
#include "editor/win32/win32_views.h"
#include "platform/windows/windows_platform.h"

using namespace torvic;

namespace {

void CALLBACK pressStop(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    PostMessageA(window, WM_KEYDOWN, VK_F4, 0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string args = commandLineArguments(GetCommandLineA());
    const bool stop = args.size() > 5 && args.compare(args.size() - 5, 5, " stop") == 0;
    const std::string script = stop ? args.substr(0, args.size() - 5) : args;
    WindowsPlatform platform;
    EditorWindows<win32::Win32Views> windows(platform);
    win32::MainWindowWin32& window = windows.mainView;
    MainWindowPresenter& torvic = windows.main;
    window.show();
    torvic.onLoad(script);  // opened as a user would
    win32::pumpMessages(window.hwnd(), window.accelerators());

    using Clock = std::chrono::steady_clock;
    const Clock::time_point t = Clock::now();
    // "Stop" a second into the run: F4, as a user's key between two lines.
    if (stop) SetTimer(window.hwnd(), 99, 1000, &pressStop);
    torvic.onRunAll();  // "Executa tot": returns when the run has ended or stopped
    const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
    const std::string path = !script.empty() && script[0] == '"' ? script.substr(1, script.size() - 2) : script;
    const std::string out = path.substr(0, path.find_last_of("\\/") + 1) + "run_speed.txt";
    if (FILE* f = std::fopen(out.c_str(), "a")) {
        std::fprintf(f, "%s %lld ms, Text3 %s\n", stop ? "stopped after" : "visible run (Executa tot):", ms,
                     window.text3().c_str());
        std::fclose(f);
    }
    return 0;
}
