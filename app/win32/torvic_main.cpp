// torvic.exe: the editor and interpreter window on the Win32 API.
#include <windows.h>

#include "base/win32/form_win32.h"
#include "editor/command_line.h"
#include "platform/conventions.h"
#include "editor/editor_texts.h"
#include "editor/editor_windows.h"
#include "editor/win32/win32_views.h"
#include "platform/system.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

namespace {

HWND mainWindow = nullptr;

// A console the program is attached to closes, or the session ends: the
// window's thread writes the recovery copy (this handler runs on a thread of
// its own) before the system ends the program.
BOOL WINAPI onConsoleEnd(DWORD event) {
    if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT) return FALSE;
    HANDLE written = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (written && mainWindow &&
        PostMessageA(mainWindow, torvic::win32::MainWindowWin32::kWriteRecoveryMessage, 0,
                     reinterpret_cast<LPARAM>(written)))
        WaitForSingleObject(written, 4000);  // the system allows five seconds
    if (written) CloseHandle(written);
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The argument text of the real command line, as the program receives
    // it: wide, so that its names are the system's.
    const std::string cmd = torvic::commandLineArguments(torvic::win::utf8(GetCommandLineW()));
    // A window program has no console: the usage in a message box.
    if (torvic::isHelpRequest(cmd)) {
        MessageBoxW(nullptr, torvic::win::wide(torvic::usageText(false)).c_str(), L"Torvic", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    torvic::prepareProcess();
    torvic::WindowsPlatform platform;
    torvic::EditorWindows<torvic::win32::Win32Views> windows(platform);
    torvic::win32::MainWindowWin32& window = windows.mainView;
    torvic::MainWindowPresenter& torvic = windows.main;
    torvic.programDirectory = torvic::conventions::programFolder;

    mainWindow = window.hwnd();
    // A failure nothing foresaw ends no work: the copy is written, the
    // user told, and the editor goes on.
    torvic::win32::setEscapedErrorHandler([&torvic, &window](const std::string& what) {
        const bool written = torvic.writeRecoveryNow();
        window.messageBox(torvic::editor_texts::unexpectedError(what, written),
                          torvic::editor_texts::unexpectedErrorTitle(), torvic::MessageIcon::Critical, false);
    });
    SetConsoleCtrlHandler(&onConsoleEnd, TRUE);

    if (torvic::parseCommandLine(cmd).kind != torvic::StartRequest::RunHidden) {
        // Shown first, centred, so that a file that cannot be opened reports over the window.
        window.show();
    }
    torvic.onLoad(cmd);
    return torvic::win32::messageLoop(window.hwnd(), window.accelerators());
}
