// torvicsetup.exe: installs torvic.exe, torvicrun.exe and the manual from its
// own folder for the current user, registers the .torvic file type, makes
// the shortcuts and the uninstall entry; "/uninstall" removes them again
// (asking nothing and showing nothing with "/quiet"), "/register [folder]"
// registers files copied by hand.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/win32/form_win32.h"
#include "platform/windows/registry_installation.h"
#include "platform/windows/wide_text.h"
#include "setup/installer.h"
#include "setup/usage.h"
#include "setup/win32/installer_win32.h"

namespace {

using torvic::win::utf8;
using torvic::win::wide;
namespace texts = torvic::setup::texts;

std::wstring ownPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::string folderOf(const std::wstring& path) { return utf8(path.substr(0, path.find_last_of(L'\\') + 1)); }

bool sameFolder(const std::string& a, const std::string& b) {
    return CompareStringOrdinal(wide(a).c_str(), -1, wide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

int box(const std::string& text, UINT style) {
    return MessageBoxW(nullptr, wide(text).c_str(), wide(torvic::setup::kUninstallTitle).c_str(), style);
}

// A program cannot delete its own file while it runs: a copy of it in the
// temporary folder does the uninstalling, and a command processor removes
// the copy once it has ended.
int uninstallFromCopy(bool quiet) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring copy = std::wstring(temp) + L"torvicsetup-uninstall.exe";
    if (!CopyFileW(ownPath().c_str(), copy.c_str(), FALSE)) {
        if (!quiet) box(texts::kNoTemporaryFolder, MB_OK | MB_ICONHAND);
        return 2;
    }
    std::wstring command = L"\"" + copy + L"\" /uninstall-copy" + (quiet ? L" /quiet" : L"");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, temp, &si, &pi)) return 2;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}

// Removes the copy that runs now, after it has ended.
void removeSelfLater() {
    const std::wstring self = ownPath();
    std::wstring command = L"cmd.exe /c for /l %i in (1,1,30) do @(ping -n 2 127.0.0.1 >nul & del /f /q \"" + self +
                           L"\" 2>nul & if not exist \"" + self + L"\" exit)";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW | DETACHED_PROCESS, nullptr,
                       nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace torvic::setup;
    torvic::win::RegistryInstallation system(torvic::win::RegistryInstallation::userPlaces(folderOf(ownPath())));
    int argc = 0;
    wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(utf8(wargv[i]));
    LocalFree(wargv);

    // A window program has no console: the usage in a message box.
    if (isSetupHelpRequest(static_cast<int>(args.size()), args.empty() ? "" : args[0].c_str())) {
        MessageBoxW(nullptr, wide(kSetupUsage).c_str(), L"torvicsetup", MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    if (!args.empty() && args[0] == "/register") {
        // After copying the files by hand: the registration alone, for the
        // given folder or this program's own.
        std::string dir = args.size() > 1 ? args[1] : folderOf(ownPath());
        if (!dir.empty() && dir.back() != '\\') dir += '\\';
        const std::string refusal = registrationRefusal(
            system, dir, GetFileAttributesW(wide(dir + "torvic.exe").c_str()) != INVALID_FILE_ATTRIBUTES);
        if (!refusal.empty()) {
            MessageBoxW(nullptr, wide(refusal).c_str(), wide(texts::kRegisterTitle).c_str(), MB_OK | MB_ICONHAND);
            return 2;
        }
        system.registerInstallation(dir);
        return 0;
    }
    if (!args.empty() && (args[0] == "/uninstall" || args[0] == "/uninstall-copy")) {
        const bool copy = args[0] == "/uninstall-copy";
        // "/quiet": no question and no report, for scripts and silent uninstalls.
        const bool quiet = std::find(args.begin(), args.end(), "/quiet") != args.end();
        if (!copy) {
            if (!quiet && box(kUninstallQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return uninstallAnswered(false);
            const std::string installed = system.installedDirectory();
            if (!installed.empty() && sameFolder(installed, folderOf(ownPath()))) return uninstallFromCopy(quiet);
        }
        // The installed program may still be ending (the copy was started by it).
        std::string dir;
        for (int attempt = 0; attempt < 20; ++attempt) {
            dir = system.uninstall();
            if (dir.empty() || GetFileAttributesW(wide(dir).c_str()) == INVALID_FILE_ATTRIBUTES) break;
            Sleep(250);
        }
        if (!quiet) box(uninstallReport(dir), MB_OK | MB_ICONINFORMATION);
        if (copy) removeSelfLater();
        return 0;
    }

    InstallerWindows<win32::InstallerWin32, win32::FolderPickerWin32> windows(system);
    windows.window.show();
    return torvic::win32::messageLoop(windows.window.hwnd(), nullptr);
}
