// Code page 850 to 1252, one byte at a time, through glibc's iconv.
#include <iconv.h>

#include <stdexcept>

#include "platform/codepage850.h"

namespace torvic::codepage850 {

int systemOemByteToAnsi(unsigned char b) {
    static const iconv_t cd = iconv_open("CP1252", "CP850");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP850/CP1252");
    char in = static_cast<char>(b);
    char out[8];
    char* ip = &in;
    char* op = out;
    std::size_t il = 1, ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || op - out != 1) return -1;
    return static_cast<unsigned char>(out[0]);
}

}  // namespace torvic::codepage850
