#pragma once
// The system's text for an error number, without its line break, as a
// program text (1252) whatever the system's language and code page: in
// Catalan where the system has Catalan texts, else in the system's language.
#include <windows.h>

#include <string>

#include "platform/files.h"
#include "platform/platform_texts.h"
#include "platform/windows/wide_text.h"

namespace torvic {

// The same in UTF-8, empty when the system has no text for the number.
inline std::string systemMessageUtf8(DWORD code) {
    wchar_t buf[512] = {};
    DWORD n = 0;
    for (DWORD language : {static_cast<DWORD>(MAKELANGID(LANG_CATALAN, SUBLANG_DEFAULT)), DWORD{0}}) {
        n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, language, buf,
                           sizeof buf / sizeof buf[0], nullptr);
        if (n != 0) break;
    }
    std::string text = win::utf8(std::wstring_view(buf, n));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

inline std::string systemMessage(DWORD code) {
    const std::string text = systemMessageUtf8(code);
    return text.empty() ? platform_texts::systemError(static_cast<long long>(code), "") : shownName(text);
}

}  // namespace torvic
