#include "platform/windows/windows_platform.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "base/cp1252.h"
#include "base/errors.h"
#include "platform/files.h"
#include "platform/platform_texts.h"
#include "base/text.h"
#include "platform/windows/wide_text.h"
#include "system_message.h"

namespace torvic {
namespace {

// Starts a command line (1252, as scripts write it) with a show command;
// returns the process id. The line reaches the system through the wide API,
// so its names mean the same files whatever the ANSI code page.
DWORD createProcess(const std::string& commandLine, WORD show, DWORD flags) {
    requireNoNul(commandLine);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    PROCESS_INFORMATION pi{};
    std::wstring line = win::wide(systemName(commandLine));  // CreateProcessW may write into it
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi))
        throw RunTimeError(platform_texts::cannotStart(commandLine, systemMessage(GetLastError())));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return pi.dwProcessId;
}

struct WindowSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK findProcessWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
    search->found = window;
    return FALSE;
}

INPUT keyInput(const WindowsPlatform::KeyEvent& e) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = e.vk;
    in.ki.wScan = e.unicode;
    in.ki.dwFlags = (e.vk == 0 ? KEYEVENTF_UNICODE : 0) | (e.up ? KEYEVENTF_KEYUP : 0);
    return in;
}

// The modifiers' virtual keys.
unsigned short modifierKey(const std::string& name) {
    return name == "shift" ? VK_SHIFT : name == "ctrl" ? VK_CONTROL : VK_MENU;
}

}  // namespace

DateTime WindowsPlatform::now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return DateTime{serialFromCivil(t.wYear, t.wMonth, t.wDay),
                    ((t.wHour * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds};
}

void WindowsPlatform::beep() { MessageBeep(MB_OK); }

int WindowsPlatform::showCommandOf(int windowMode) {
    switch (windowMode) {
        case 0: return SW_HIDE;
        case 1: return SW_SHOWNORMAL;
        case 2: return SW_SHOWMINIMIZED;
        case 3: return SW_SHOWMAXIMIZED;
        case 4: return SW_SHOWNOACTIVATE;
        case 6: return SW_SHOWMINNOACTIVE;
        default: throw RunTimeError(platform_texts::invalidWindowMode());
    }
}

double WindowsPlatform::startProgram(const std::string& commandLine, int windowMode) {
    const int show = showCommandOf(windowMode);
    if (commandLine.empty()) throw RunTimeError(platform_texts::emptyCommandLine());
    return static_cast<double>(createProcess(commandLine, static_cast<WORD>(show), 0));
}

long WindowsPlatform::shellExecute(const std::string& verb, const std::string& file, int showCommand) {
    if (file.find('\0') != std::string::npos) return 2;  // "file not found", as for any bad name
    const std::wstring wideVerb = win::wide(verb), name = win::wide(systemName(file));
    HINSTANCE result = ShellExecuteW(nullptr, verb.empty() ? nullptr : wideVerb.c_str(), name.c_str(), nullptr,
                                     nullptr, showCommand);
    return static_cast<long>(reinterpret_cast<INT_PTR>(result));
}

unsigned short WindowsPlatform::virtualKeyOf(const std::string& keysym) {
    static const std::pair<const char*, unsigned short> keys[] = {
        {"BackSpace", VK_BACK}, {"Break", VK_CANCEL},     {"Caps_Lock", VK_CAPITAL}, {"Delete", VK_DELETE},
        {"Down", VK_DOWN},      {"End", VK_END},          {"Return", VK_RETURN},     {"Escape", VK_ESCAPE},
        {"Help", VK_HELP},      {"Home", VK_HOME},        {"Insert", VK_INSERT},     {"Left", VK_LEFT},
        {"Num_Lock", VK_NUMLOCK}, {"Page_Down", VK_NEXT}, {"Page_Up", VK_PRIOR},     {"Print", VK_SNAPSHOT},
        {"Right", VK_RIGHT},    {"Scroll_Lock", VK_SCROLL}, {"Tab", VK_TAB},         {"Up", VK_UP},
        {"KP_Add", VK_ADD},     {"KP_Subtract", VK_SUBTRACT}, {"KP_Multiply", VK_MULTIPLY}, {"KP_Divide", VK_DIVIDE},
    };
    for (const auto& [name, vk] : keys)
        if (keysym == name) return vk;
    if (keysym.size() >= 2 && keysym[0] == 'F') return static_cast<unsigned short>(VK_F1 + std::stoi(keysym.substr(1)) - 1);
    throw RunTimeError(platform_texts::noKeyFor(keysym));
}

std::vector<WindowsPlatform::KeyEvent> WindowsPlatform::keyEvents(const KeyStroke& stroke) {
    std::vector<KeyEvent> out;
    auto press = [&out](unsigned short vk) { out.push_back({vk, 0, false}); };
    auto release = [&out](unsigned short vk) { out.push_back({vk, 0, true}); };
    auto withModifiers = [&](const std::vector<std::string>& mods, auto body) {
        for (const std::string& m : mods) press(modifierKey(m));
        body();
        for (auto m = mods.rbegin(); m != mods.rend(); ++m) release(modifierKey(*m));
    };
    auto once = [&] {
        if (!stroke.key.empty()) {
            const unsigned short vk = virtualKeyOf(stroke.key);
            withModifiers(stroke.modifiers, [&] { press(vk), release(vk); });
            return;
        }
        for (char byte : stroke.text) {
            const wchar_t ch = static_cast<wchar_t>(cp1252::toUnicode(static_cast<unsigned char>(byte)));
            const SHORT scan = VkKeyScanW(ch);
            const int needs = scan == -1 ? -1 : HIBYTE(scan);  // 1 shift, 2 control, 4 alt
            if (needs < 0 || (needs & 6)) {
                // Not on the layout, or only through AltGr: the character itself.
                withModifiers(stroke.modifiers, [&] {
                    out.push_back({0, static_cast<unsigned short>(ch), false});
                    out.push_back({0, static_cast<unsigned short>(ch), true});
                });
                continue;
            }
            std::vector<std::string> mods = stroke.modifiers;
            if ((needs & 1) && std::find(mods.begin(), mods.end(), "shift") == mods.end()) mods.insert(mods.begin(), "shift");
            const unsigned short vk = LOBYTE(scan);
            withModifiers(mods, [&] { press(vk), release(vk); });
        }
    };
    for (int i = 0; i < stroke.repeat; ++i) once();
    return out;
}

namespace {

// Keys sent with SendInput reach a window only when its thread takes them
// from its queue; until then a change of the active window (a message box
// of the run, the editor shown again) sends them elsewhere or loses them.
// Attached to the input of the focus window's thread, this thread sees the
// key state that input shows, which follows the keys its thread has taken:
// each key press flips the key's toggle bit.
class DeliveryWatch {
public:
    DeliveryWatch() {
        HWND front = GetForegroundWindow();
        const DWORD theirs = front ? GetWindowThreadProcessId(front, nullptr) : 0;
        // Keys for this thread's own windows would wait for it: nothing to watch.
        if (!theirs || theirs == ours_) return;
        // A window just brought to the front takes keys once its thread has
        // made it active (keys before would find no window).
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        for (const ULONGLONG until = GetTickCount64() + 1000; GetTickCount64() < until; Sleep(5))
            if (GetGUIThreadInfo(theirs, &info) && info.hwndActive) break;
        if (AttachThreadInput(ours_, theirs, TRUE)) theirs_ = theirs;
    }
    ~DeliveryWatch() {
        if (theirs_) AttachThreadInput(ours_, theirs_, FALSE);
    }
    DeliveryWatch(const DeliveryWatch&) = delete;
    DeliveryWatch& operator=(const DeliveryWatch&) = delete;

    // Sends the events and waits (a second at most) until the last key
    // pressed among them has been taken. A window that stops taking keys
    // is not waited for again.
    void send(std::vector<INPUT>& inputs) {
        const WORD key = lastPressed(inputs);
        const SHORT before = theirs_ && key ? GetKeyState(key) & 1 : 0;
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (!theirs_ || !key) return;
        // Counted in time: a Sleep(1) may last a whole tick of the system's clock.
        for (const ULONGLONG until = GetTickCount64() + 1000; (GetKeyState(key) & 1) == before; Sleep(1)) {
            if (GetTickCount64() >= until) {
                AttachThreadInput(ours_, theirs_, FALSE);
                theirs_ = 0;
                return;
            }
        }
    }

private:
    static WORD lastPressed(const std::vector<INPUT>& inputs) {
        for (auto in = inputs.rbegin(); in != inputs.rend(); ++in)
            if (!(in->ki.dwFlags & KEYEVENTF_KEYUP)) return (in->ki.dwFlags & KEYEVENTF_UNICODE) ? VK_PACKET : in->ki.wVk;
        return 0;
    }
    const DWORD ours_ = GetCurrentThreadId();
    DWORD theirs_ = 0;
};

}  // namespace

void WindowsPlatform::sendKeys(const std::string& keys, bool wait) {
    DeliveryWatch delivery;
    for (const KeyStroke& stroke : parseSendKeys(keys)) {
        // One stroke at a time: a {a 99999} is never held whole in memory.
        KeyStroke one = stroke;
        one.repeat = 1;
        const std::vector<KeyEvent> events = keyEvents(one);
        std::vector<INPUT> inputs;
        inputs.reserve(events.size());
        for (const KeyEvent& e : events) inputs.push_back(keyInput(e));
        for (int i = 0; i < stroke.repeat; ++i)
            if (!inputs.empty()) delivery.send(inputs);
    }
    if (!wait) return;
    // Processed before we go on: the window with the focus has handled its input.
    DWORD pid = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &pid);
    if (HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid)) {
        WaitForInputIdle(p, 5000);
        CloseHandle(p);
    }
}

void WindowsPlatform::activateProcess(double processId) {
    WindowSearch search{static_cast<DWORD>(processId)};
    EnumWindows(findProcessWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) throw RunTimeError(platform_texts::noWindowOfProcess(numberText(processId)));
    if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
    // The foreground lock gives way to a thread attached to the foreground's input.
    const DWORD ours = GetCurrentThreadId();
    const DWORD theirs = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attached = theirs && theirs != ours && AttachThreadInput(ours, theirs, TRUE);
    AllowSetForegroundWindow(ASFW_ANY);
    SetForegroundWindow(search.found);
    BringWindowToTop(search.found);
    if (attached) AttachThreadInput(ours, theirs, FALSE);
}

void WindowsPlatform::setCursorPos(int x, int y) { SetCursorPos(x, y); }

void WindowsPlatform::cursorPos(int& x, int& y) {
    POINT p{};
    GetCursorPos(&p);
    x = p.x;
    y = p.y;
}

void WindowsPlatform::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) {
    // The event flags are the system's own MOUSEEVENTF values.
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.mouseData = static_cast<DWORD>(data);
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

bool WindowsPlatform::esOSNT() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExA(&info);
#pragma GCC diagnostic pop
    return ok == 1 && info.dwMajorVersion > 3 && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool WindowsPlatform::activarPrivilegiApagada() {
    HANDLE process = GetCurrentProcess();
    if (!process) return false;
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid) &&
              AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
    return ok;
}

void WindowsPlatform::exitWindows(std::uint32_t flags) { ExitWindowsEx(flags, 0); }

void WindowsPlatform::setSystemPowerState(bool suspend, bool force) {
    // kernel32's call where the system still has it and takes it, powrprof's otherwise.
    using Kernel = BOOL(WINAPI*)(BOOL, BOOL);
    using PowrProf = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
    if (HMODULE k = GetModuleHandleA("kernel32.dll"))
        if (auto f = reinterpret_cast<Kernel>(reinterpret_cast<void*>(GetProcAddress(k, "SetSystemPowerState"))))
            if (f(suspend, force)) return;
    if (HMODULE p = LoadLibraryA("powrprof.dll")) {
        if (auto f = reinterpret_cast<PowrProf>(reinterpret_cast<void*>(GetProcAddress(p, "SetSuspendState"))))
            f(!suspend, force, FALSE);
        FreeLibrary(p);
    }
}

void WindowsPlatform::copyFile(const std::string& from, const std::string& to) {
    requireNoNul(from);
    requireNoNul(to);
    if (!CopyFileW(win::wide(systemName(from)).c_str(), win::wide(systemName(to)).c_str(), FALSE)) throw RunTimeError(platform_texts::copyFailed(systemMessage(GetLastError())));
}

void WindowsPlatform::xcopy(const std::string& from, const std::string& to, const std::string& switches) {
    requireNoNul(from);
    requireNoNul(to);
    createProcess(xcopyCommandLine(from, to, switches), SW_HIDE, CREATE_NO_WINDOW);
}

void WindowsPlatform::oemToAnsi(std::string& text) {
    if (!text.empty()) OemToCharBuffA(text.data(), text.data(), static_cast<DWORD>(text.size()));
}

void WindowsPlatform::ansiToOem(std::string& text) {
    if (!text.empty()) CharToOemBuffA(text.data(), text.data(), static_cast<DWORD>(text.size()));
}

}  // namespace torvic
