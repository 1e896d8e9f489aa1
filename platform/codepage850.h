#pragma once
// Byte-for-byte conversion between the OEM code page (850) and the ANSI code
// page (1252). Bytes that exist in both pages map to the same character. The
// 31 bytes of each page that have no counterpart in the other are paired off
// in ascending order, so a conversion and its reverse restore every byte.
#include <string>

namespace torvic::codepage850 {

// 850 -> 1252, in place.
void oemToAnsi(std::string& text);
// 1252 -> 850, in place.
void ansiToOem(std::string& text);

// The 1252 byte of the character that 850 byte `b` stands for, or -1: the
// system's own conversion, in that system's folder under platform/.
int systemOemByteToAnsi(unsigned char b);

}  // namespace torvic::codepage850

namespace torvic {

// Where oemtoansi and ansitooem convert: the tables above, unless a system
// has conversions of its own.
class CodePages {
public:
    virtual ~CodePages() = default;
    virtual void oemToAnsi(std::string& text) { codepage850::oemToAnsi(text); }
    virtual void ansiToOem(std::string& text) { codepage850::ansiToOem(text); }
};

}  // namespace torvic
