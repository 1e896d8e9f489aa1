#pragma once
// The visible top-level windows whose title holds a text, for the Windows
// test tools.
#include <windows.h>

#include <string>
#include <vector>

namespace torvic::test {

struct TitleSearch {
    std::wstring title;
    std::vector<HWND> found;
};

inline BOOL CALLBACK matchTitle(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<TitleSearch*>(data);
    wchar_t caption[1024] = {};
    GetWindowTextW(w, caption, 1024);
    if (IsWindowVisible(w) && std::wstring(caption).find(s->title) != std::wstring::npos) s->found.push_back(w);
    return TRUE;
}

inline std::vector<HWND> topWindows(const std::wstring& title) {
    TitleSearch search{title, {}};
    EnumWindows(&matchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace torvic::test
