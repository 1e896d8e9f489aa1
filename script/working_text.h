#pragma once
// The working text that scripts edit, its cursor and the default reference
// prefix. Kept for the life of the program, across runs.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_encoding.h"

namespace torvic {

// The working text is held in the encoding of the file it came from: 1252
// bytes, or UTF-8 (whatever characters it holds, those 1252 lacks
// included). The cursor and every count a script sees are in characters.
struct TextDocument {
    std::string textTreball;         // the whole document, CR LF line breaks
    std::int32_t posTreball = 0;     // 1-based cursor, in characters
    std::string referenciaDefecte;   // prefix put before every reference key
    TextEncoding encoding = TextEncoding::Ansi;  // what open read and save writes

    bool utf8() const { return isUtf8(encoding); }
    // A script's text (1252) as the document's characters, and back.
    std::string fromScript(std::string_view text1252) const;
    std::string toScript(std::string_view text) const;
    // The 1-based byte position of a 1-based character position. Positions
    // before the text are kept as they are, and those past its end keep
    // their distance from it.
    std::int32_t bytePosition(std::int32_t charPosition) const;
    // The 1-based character position of a 1-based byte position.
    double characterPosition(double bytePosition) const;
};

}  // namespace torvic
