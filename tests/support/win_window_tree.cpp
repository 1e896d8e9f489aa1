// Looks at the windows of the desktop the way a user's tools would, for the
// tests of the Windows window programs (under Wine):
//   win_window_tree dump TITLE      the visible top-level windows whose title
//                                   holds TITLE, their menus and every control
//                                   (class|caption|x,y,w,h|visible|enabled,
//                                   places relative to the parent's client area)
//   win_window_tree click TITLE CAPTION
//                                   presses the button CAPTION of such a window
// Texts are written in UTF-8. The exit status is 1 when no window matched.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

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

struct Search {
    std::wstring title;
    std::vector<HWND> found;
};

BOOL CALLBACK matchTitle(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    wchar_t caption[1024] = {};
    GetWindowTextW(w, caption, 1024);
    if (IsWindowVisible(w) && std::wstring(caption).find(s->title) != std::wstring::npos) s->found.push_back(w);
    return TRUE;
}

std::vector<HWND> topWindows(const std::wstring& title) {
    Search search{title, {}};
    EnumWindows(&matchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void dumpMenu(HMENU menu, const std::string& path) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t caption[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), caption, 256, MF_BYPOSITION);
        const std::string item = path + utf8(caption);
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        std::printf("menu|%s%s\n", item.c_str(), (state & MF_CHECKED) ? "|checked" : "");
        if (HMENU sub = GetSubMenu(menu, i)) dumpMenu(sub, item + " > ");
    }
}

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

HWND findButton(HWND parent, const std::string& caption) {
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (classOf(w) == "Button" && textOf(w) == caption) return w;
        if (HWND inner = findButton(w, caption)) return inner;
    }
    return nullptr;
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
    const std::vector<HWND> windows = topWindows(wargv[2]);
    if (windows.empty()) return 1;
    if (command == "dump") {
        for (HWND w : windows) {
            RECT client;
            GetClientRect(w, &client);
            std::printf("window|%s|%ld,%ld\n", textOf(w).c_str(), client.right, client.bottom);
            if (HMENU menu = GetMenu(w)) dumpMenu(menu, "");
            dumpChildren(w, 1);
        }
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
