#pragma once
// The system's message box, made wide enough for its whole title (the box
// sizes itself by its text and buttons only, and would cut a long title).
#include <windows.h>

#include <string>

namespace torvic::win32 {

// MessageBoxA (texts in code page 1252); `onOpen`, when given, sees the box
// as it opens (to rename its buttons).
int messageBox(HWND owner, const std::string& text, const std::string& title, UINT flags,
               void (*onOpen)(HWND box) = nullptr);
// MessageBoxW, the same way.
int messageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags);

// The width a window needs for `title` in the system's caption font, with
// its icon, close button and frame, in screen pixels.
int widthForTitle(const std::wstring& title);

}  // namespace torvic::win32
