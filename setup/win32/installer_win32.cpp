#include "setup/win32/installer_win32.h"

#include <shellapi.h>

#include "base/win32/message_box_win32.h"
#include "platform/windows/wide_text.h"

#include <algorithm>
#include <vector>

namespace torvic::setup::win32 {

using torvic::win32::FormWindow;
using torvic::win::utf8;
using torvic::win::wide;

namespace {

// A message text as a box shows it: a lone CR is a line break too.
std::wstring boxText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) {
            out += "\r\n";
            continue;
        }
        out += text[i];
    }
    return wide(out);
}

// A control of the form made again as a Unicode control, in its place and
// its turn in the tab order: a list control made with the ANSI API keeps
// only what the code page holds, and a folder's name may hold more. The
// ANSI one goes (the view uses the new one in its place). (Fields are made
// Unicode already.)
HWND wideTwin(HWND ansi) {
    wchar_t className[32] = {};
    GetClassNameW(ansi, className, 32);
    HWND parent = GetParent(ansi);
    RECT r;
    GetWindowRect(ansi, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    HWND w = CreateWindowExW(static_cast<DWORD>(GetWindowLongW(ansi, GWL_EXSTYLE)), className, L"",
                             static_cast<DWORD>(GetWindowLongW(ansi, GWL_STYLE)), r.left, r.top, r.right - r.left,
                             r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(ansi))),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(w, WM_SETFONT, static_cast<WPARAM>(SendMessageW(ansi, WM_GETFONT, 0, 0)), FALSE);
    SetWindowPos(w, ansi, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(ansi);
    return w;
}

}  // namespace

InstallerWin32::InstallerWin32() {
    window_.create(installerForm(), &instalar_, nullptr, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    // Enter is "Sí" (the default button), Esc and the close box are "No".
    window_.onEscape = [this] {
        if (instalar_) instalar_->onCancel();
    };
}

void InstallerWin32::show() {
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(hwnd());
    SetFocus(window_.control("Text1"));
}

std::string InstallerWin32::text1() { return utf8(window_.wideText("Text1")); }
void InstallerWin32::setText1(const std::string& text) { window_.setWideText("Text1", wide(text)); }

void InstallerWin32::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
    const UINT style = icon == MessageIcon::Information   ? MB_ICONINFORMATION
                       : icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION
                       : icon == MessageIcon::Critical    ? MB_ICONHAND
                                                          : 0;
    torvic::win32::messageBox(hwnd(), boxText(text), wide(title), MB_OK | style);  // as wide as its title
}

bool InstallerWin32::askYesNo(const std::string& text, const std::string& title) {
    return torvic::win32::messageBox(hwnd(), boxText(text), wide(title), MB_YESNO) == IDYES;
}

void InstallerWin32::setNotes(const std::string& libraries, const std::string& uninstalling) {
    SetWindowTextW(window_.control("Label2"), wide(libraries).c_str());
    SetWindowTextW(window_.control("Label3"), wide(uninstalling).c_str());
}

void InstallerWin32::openManual(const std::string& dir) {
    const std::wstring manual = wide(dir + "torvic.rtf");
    if (reinterpret_cast<INT_PTR>(ShellExecuteW(hwnd(), L"open", manual.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) <= 32)
        messageBox("No s'ha pogut mostrar el manual " + dir + "torvic.rtf.", "Apendre les comandes:", MessageIcon::Critical);
}

void InstallerWin32::endProgram() {
    ShowWindow(hwnd(), SW_HIDE);
    PostQuitMessage(0);
}

void FolderPickerWin32::openFolder(const std::wstring& path) {
    std::wstring dir = path;
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;  // a drive that cannot be read: the list stays where it was
    std::vector<std::wstring> folders;
    do {
        const std::wstring name = found.cFileName;
        // Hidden folders are left out, as the system's own lists do.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) &&
            name != L"." && name != L"..")
            folders.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(folders.begin(), folders.end());
    HWND list = dir1_;
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    // The folder itself without its final "\", unless it is a drive's root.
    std::wstring shown = dir.size() > 3 ? dir.substr(0, dir.size() - 1) : dir;
    open_ = utf8(shown);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    if (dir.size() > 3) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L".."));
    for (const std::wstring& f : folders) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.c_str()));
}

void FolderPickerWin32::showModal() {
    window_.create(folderPickerForm(), &directori_, GetActiveWindow(), WS_POPUP | WS_CAPTION | WS_SYSMENU);
    window_.onEscape = [this] {
        if (directori_) directori_->onCancel();
    };
    window_.onClose = [this] { window_.endModal(); };  // no choice
    dir1_ = wideTwin(window_.control("Dir1"));
    HWND drives = window_.control("Drive1");
    wchar_t roots[512] = {};
    GetLogicalDriveStringsW(511, roots);
    for (const wchar_t* root = roots; *root; root += wcslen(root) + 1)
        SendMessageW(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(root));
    window_.onMessage = [this, drives](UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
        if (message != WM_COMMAND) return false;
        HWND list = dir1_;
        if (reinterpret_cast<HWND>(lParam) == list && HIWORD(wParam) == LBN_DBLCLK) {
            const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
            if (row <= 0) return true;  // the open folder itself
            std::wstring name(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0)), L'\0');
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(name.data()));
            std::wstring current = wide(open_);
            if (name == L"..") {
                const std::size_t cut = current.find_last_of(L'\\');
                openFolder(cut == std::wstring::npos ? current : current.substr(0, cut == 2 ? 3 : cut));
            } else {
                openFolder((current.back() == L'\\' ? current : current + L'\\') + name);
            }
            return true;
        }
        if (reinterpret_cast<HWND>(lParam) == drives && HIWORD(wParam) == CBN_SELCHANGE) {
            wchar_t root[8] = {};
            SendMessageW(drives, CB_GETLBTEXT, static_cast<WPARAM>(SendMessageW(drives, CB_GETCURSEL, 0, 0)),
                         reinterpret_cast<LPARAM>(root));
            openFolder(root);
            return true;
        }
        return false;
    };
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    SendMessageW(drives, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(std::wstring(current).substr(0, 3).c_str()));  // the current drive
    openFolder(current);
    window_.runModal();
    window_.destroy();
}

}  // namespace torvic::setup::win32
