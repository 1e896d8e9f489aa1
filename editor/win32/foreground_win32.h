#pragma once
// A window of the run (a message box, the timed message window) takes the
// front while it is shown; when it closes, the window that had the front
// before gets it back, so a run's keys go on reaching the window the script
// chose and never the editor.
#include <windows.h>

namespace torvic::win32 {

class ForegroundKeeper {
public:
    ForegroundKeeper() : before_(GetForegroundWindow()) {}
    ~ForegroundKeeper() {
        DWORD process = 0;
        if (before_ && IsWindow(before_)) GetWindowThreadProcessId(before_, &process);
        // Our own windows get the front back as the system gives it.
        if (process && process != GetCurrentProcessId()) SetForegroundWindow(before_);
    }
    ForegroundKeeper(const ForegroundKeeper&) = delete;
    ForegroundKeeper& operator=(const ForegroundKeeper&) = delete;

private:
    HWND before_;
};

}  // namespace torvic::win32
