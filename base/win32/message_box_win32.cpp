#include "base/win32/message_box_win32.h"

namespace torvic::win32 {
namespace {

HHOOK hook = nullptr;
void (*opening)(HWND) = nullptr;

// Widens the box once it has laid itself out (its WM_INITDIALOG done),
// keeping it and its buttons centred.
LRESULT CALLBACK fitTitle(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code < 0 || call->message != WM_INITDIALOG) return CallNextHookEx(hook, code, wParam, lParam);
    HWND box = call->hwnd;
    UnhookWindowsHookEx(hook);
    hook = nullptr;
    if (opening) opening(box);
    wchar_t title[512] = {};
    GetWindowTextW(box, title, 512);
    RECT r;
    GetWindowRect(box, &r);
    const int extra = widthForTitle(title) - (r.right - r.left);
    if (extra <= 0) return 0;
    SetWindowPos(box, nullptr, r.left - extra / 2, r.top, r.right - r.left + extra, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Button") != 0) continue;
        RECT c;
        GetWindowRect(child, &c);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&c), 2);
        SetWindowPos(child, nullptr, c.left + extra / 2, c.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

}  // namespace

int widthForTitle(const std::wstring& title) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return 0;
    HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return size.cx + metrics.iCaptionWidth + GetSystemMetrics(SM_CXSMICON) +
           2 * (GetSystemMetrics(SM_CXFIXEDFRAME) + GetSystemMetrics(SM_CXEDGE)) + 24;
}

int messageBox(HWND owner, const std::string& text, const std::string& title, UINT flags, void (*onOpen)(HWND)) {
    opening = onOpen;
    hook = SetWindowsHookExA(WH_CALLWNDPROCRET, &fitTitle, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxA(owner, text.c_str(), title.c_str(), flags);
    if (hook) UnhookWindowsHookEx(hook);
    hook = nullptr;
    opening = nullptr;
    return answer;
}

int messageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags) {
    hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &fitTitle, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(owner, text.c_str(), title.c_str(), flags);
    if (hook) UnhookWindowsHookEx(hook);
    hook = nullptr;
    return answer;
}

}  // namespace torvic::win32
