// Another program reading a window's texts, as screen readers and desktop
// tools do: text_poller_win32 TITLE SECONDS reads the text of every control
// of the visible top-level windows whose title holds TITLE (WM_GETTEXT
// sent from outside) every 0.2 s for SECONDS, then prints how many texts
// it read. A window that comes later is read from then on. Exit status 1
// when no window matched.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/win_top_windows.h"

namespace {

BOOL CALLBACK readText(HWND w, LPARAM data) {
    static std::vector<wchar_t> buffer(1 << 20);
    DWORD_PTR got = 0;
    if (SendMessageTimeoutW(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                            2000, &got))
        ++*reinterpret_cast<long*>(data);
    return TRUE;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) return 2;
    const DWORD seconds = static_cast<DWORD>(_wtoi(argv[2]));
    long read = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(200)) {
        for (HWND w : torvic::test::topWindows(argv[1])) {
            readText(w, reinterpret_cast<LPARAM>(&read));
            EnumChildWindows(w, &readText, reinterpret_cast<LPARAM>(&read));
        }
    }
    std::printf("%ld\n", read);
    return read > 0 ? 0 : 1;
}
