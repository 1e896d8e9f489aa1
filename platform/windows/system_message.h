#pragma once
// The system's text for an error number, without its line break, as a
// program text (1252) whatever the system's language and code page.
#include <windows.h>

#include <string>

#include "platform/files.h"
#include "platform/windows/wide_text.h"

namespace torvic {

inline std::string systemMessage(DWORD code) {
    wchar_t buf[512] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                             sizeof buf / sizeof buf[0], nullptr);
    std::string text = shownName(win::utf8(std::wstring_view(buf, n)));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : text;
}

}  // namespace torvic
