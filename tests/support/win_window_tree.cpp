// The desktop as a user's tools see it, for the tests of the Windows
// programs (under Wine):
//   win_window_tree dump TITLE      the visible top-level windows whose title
//                                   holds TITLE and every control
//                                   (class|caption|x,y,w,h|visible|enabled,
//                                   places relative to the parent's client area)
//   win_window_tree click TITLE CAPTION
//                                   presses the button CAPTION of such a window
//   win_window_tree settext TITLE TEXT
//                                   puts TEXT in the edit control of such a
//                                   window that has the focus (else its
//                                   first one), as typing would
//   win_window_tree dropdown TITLE  opens the first drop-down list of such a
//                                   window and writes whether it opened and
//                                   how many of its items it shows
//                                   (open|shown|items), then closes it
//   win_window_tree focus TITLE [CONTROL]
//                                   the control that has the keyboard focus
//                                   in such a window (class|caption); with
//                                   CONTROL (class|caption), it is given the
//                                   focus first
//   win_window_tree endsession TITLE
//                                   tells such a window that the session
//                                   ends, as the system does at a logoff
//                                   (WM_QUERYENDSESSION, then WM_ENDSESSION)
//   win_window_tree catch FILE      a window that writes its process id, then
//                                   every character and left click it receives
//                                   (Enter as a line break), to FILE; it ends
//                                   after a minute
//   win_window_tree pos TITLE INDEX where such a window's script box draws the
//                                   character INDEX (UTF-16 units from the
//                                   start): its top left on the screen (x y)
//   win_window_tree dragsource TEXT FILE
//                                   a window "Origen" that a press of the left
//                                   button drags TEXT from (OLE drag and drop,
//                                   CF_UNICODETEXT); the drop's effect (copy,
//                                   move, none) is written to FILE, and it ends
// Texts are written in UTF-8. The exit status is 1 when no window matched.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editor/win32/text_drag_win32.h"
#include "platform/windows/wide_text.h"
#include "win_top_windows.h"  // beside this file

namespace {

using torvic::win::utf8;

// A window's text, from another process too.
std::string textOf(HWND w) {
    wchar_t buffer[4096] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &got);
    std::wstring text(buffer, got);
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    return utf8(text);
}

std::string classOf(HWND w) {
    wchar_t name[256] = {};
    GetClassNameW(w, name, 256);
    return utf8(name);
}

using torvic::test::topWindows;

void dumpChildren(HWND parent, int depth) {
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        std::printf("%*s%s|%s|%ld,%ld,%ld,%ld|%s|%s\n", depth * 2, "", classOf(w).c_str(), textOf(w).c_str(), r.left,
                    r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(w) ? "visible" : "hidden",
                    IsWindowEnabled(w) ? "enabled" : "disabled");
        dumpChildren(w, depth + 1);
    }
}

HWND findEdit(HWND parent) {
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (classOf(w) == "Edit") return w;
        if (HWND inner = findEdit(w)) return inner;
    }
    return nullptr;
}

HWND findClass(HWND parent, const std::string& name) {
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (classOf(w) == name) return w;
        if (HWND inner = findClass(w, name)) return inner;
    }
    return nullptr;
}

// The open list of a drop-down: a shown window of the system's ComboLBox class.
BOOL CALLBACK findOpenList(HWND w, LPARAM found) {
    if (!IsWindowVisible(w) || classOf(w) != "ComboLBox") return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

HWND findButton(HWND parent, const std::string& caption, const std::string& className = "Button") {
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (classOf(w) == className && textOf(w) == caption) return w;
        if (HWND inner = findButton(w, caption, className)) return inner;
    }
    return nullptr;
}

// The catcher's window and the file it writes to.
std::string caught;

void append(const std::string& text) {
    if (FILE* f = std::fopen(caught.c_str(), "ab")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

LRESULT CALLBACK catcherProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_CHAR:
            append(w == L'\r' ? "\n" : utf8(std::wstring(1, static_cast<wchar_t>(w))));
            return 0;
        case WM_LBUTTONDOWN:
            append("<click " + std::to_string(static_cast<short>(LOWORD(l))) + "," +
                   std::to_string(static_cast<short>(HIWORD(l))) + ">");
            return 0;
        case WM_TIMER:
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

int catchInput(const std::string& file) {
    caught = file;
    append("pid " + std::to_string(GetCurrentProcessId()) + "\n");
    WNDCLASSW wc{};
    wc.lpfnWndProc = catcherProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TorvicKeyCatcher";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"TorvicKeyCatcher", L"Catcher", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                                nullptr, wc.hInstance, nullptr);
    STARTUPINFOW start{};  // shown as the starting program asked
    GetStartupInfoW(&start);
    ShowWindow(window, (start.dwFlags & STARTF_USESHOWWINDOW) ? start.wShowWindow : SW_SHOWNORMAL);
    SetTimer(window, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// The drag source's text and the file its outcome goes to.
std::wstring dragged;
std::string outcome;

LRESULT CALLBACK sourceProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_LBUTTONDOWN: {
            IDataObject* data = torvic::win32::newTextData(dragged);
            IDropSource* source = torvic::win32::newDropSource();
            DWORD effect = DROPEFFECT_NONE;
            const HRESULT result = DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
            source->Release();
            data->Release();
            caught = outcome;
            append(result != DRAGDROP_S_DROP     ? "none\n"
                   : effect & DROPEFFECT_COPY ? "copy\n"
                   : effect & DROPEFFECT_MOVE ? "move\n"
                                              : "none\n");
            DestroyWindow(window);
            return 0;
        }
        case WM_TIMER:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

int dragSource(const std::wstring& text, const std::string& file) {
    dragged = text;
    outcome = file;
    if (FAILED(OleInitialize(nullptr))) return 1;
    WNDCLASSW wc{};
    wc.lpfnWndProc = sourceProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TorvicDragSource";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"TorvicDragSource", L"Origen", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150,
                                nullptr, nullptr, wc.hInstance, nullptr);
    SetTimer(window, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    OleUninitialize();
    return 0;
}

}  // namespace

int main() {
    // The arguments as the system has them (the ANSI ones would lose what
    // the code page lacks).
    int argc = 0;
    wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) return 2;
    std::vector<std::string> argv;
    for (int i = 0; i < argc; ++i) argv.push_back(utf8(wargv[i]));
    const std::string command = argv[1];
    if (command == "catch") return catchInput(argv[2]);
    if (command == "dragsource" && argc == 4) return dragSource(wargv[2], argv[3]);
    const std::vector<HWND> windows = topWindows(wargv[2]);
    if (windows.empty()) return 1;
    if (command == "dump") {
        for (HWND w : windows) {
            RECT client;
            GetClientRect(w, &client);
            std::printf("window|%s|%ld,%ld\n", textOf(w).c_str(), client.right, client.bottom);
            dumpChildren(w, 1);
        }
        return 0;
    }
    if (command == "focus") {
        if (argc == 4) {  // through the window's own input, joined for the call
            const std::size_t bar = argv[3].find('|');
            HWND control = findButton(windows.front(), argv[3].substr(bar + 1), argv[3].substr(0, bar));
            const DWORD thread = GetWindowThreadProcessId(windows.front(), nullptr);
            if (!control || !AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) return 1;
            SetFocus(control);
            AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
        }
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(windows.front(), nullptr), &info) || !info.hwndFocus) return 1;
        std::printf("%s|%s\n", classOf(info.hwndFocus).c_str(), textOf(info.hwndFocus).c_str());
        return 0;
    }
    if (command == "settext" && argc == 4) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        HWND edit = GetGUIThreadInfo(GetWindowThreadProcessId(windows.front(), nullptr), &info) && info.hwndFocus &&
                            classOf(info.hwndFocus) == "Edit"
                        ? info.hwndFocus
                        : findEdit(windows.front());
        DWORD_PTR done = 0;
        return edit && SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wargv[3]), SMTO_ABORTIFHUNG,
                                           2000, &done) ? 0 : 1;
    }
    if (command == "dropdown") {
        HWND combo = findClass(windows.front(), "ComboBox");
        if (!combo) return 1;
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        const bool open = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
        // The open list is a window of the combo box's thread (the system's
        // ComboLBox class), shown while the list is open.
        HWND shown = nullptr;
        EnumThreadWindows(GetWindowThreadProcessId(combo, nullptr), &findOpenList, reinterpret_cast<LPARAM>(&shown));
        RECT list{};
        if (shown) GetClientRect(shown, &list);
        const auto itemHeight = static_cast<long>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
        std::printf("%s|%ld|%ld\n", open ? "open" : "closed", itemHeight > 0 ? list.bottom / itemHeight : 0L,
                    static_cast<long>(SendMessageW(combo, CB_GETCOUNT, 0, 0)));
        SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
        return 0;
    }
    if (command == "endsession") {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(windows.front(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer))
            return 1;
        return SendMessageTimeoutW(windows.front(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                                   &answer) ? 0 : 1;
    }
    if (command == "pos" && argc == 4) {
        HWND box = findClass(windows.front(), "TorvicScript");
        DWORD_PTR at = 0;
        if (!box || !SendMessageTimeoutW(box, EM_POSFROMCHAR, std::stoul(argv[3]), 0, SMTO_ABORTIFHUNG, 2000, &at) ||
            static_cast<LONG>(at) == -1)
            return 1;
        POINT p{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
        ClientToScreen(box, &p);
        std::printf("%ld %ld\n", p.x, p.y);
        return 0;
    }
    if (command == "click" && argc == 4) {
        for (HWND w : windows)
            if (HWND button = findButton(w, argv[3])) {
                PostMessageW(button, BM_CLICK, 0, 0);
                return 0;
            }
        return 1;
    }
    return 2;
}
