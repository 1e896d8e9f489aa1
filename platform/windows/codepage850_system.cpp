// Code page 850 to 1252, one byte at a time, through the system's tables.
#include <windows.h>

#include "platform/codepage850.h"

namespace torvic::codepage850 {

int systemOemByteToAnsi(unsigned char b) {
    const char in = static_cast<char>(b);
    wchar_t ch = 0;
    if (MultiByteToWideChar(850, MB_ERR_INVALID_CHARS, &in, 1, &ch, 1) != 1) return -1;
    char out = 0;
    BOOL lossy = FALSE;
    if (WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, &ch, 1, &out, 1, nullptr, &lossy) != 1 || lossy) return -1;
    return static_cast<unsigned char>(out);
}

}  // namespace torvic::codepage850
