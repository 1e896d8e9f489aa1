#pragma once
// The reasons the text commands give when a line fails, shown on the second
// line of the run's prompt. Catalan, as program texts (1252).
#include <algorithm>
#include <string>

#include "base/cp1252.h"

namespace torvic::textcmd_texts {

inline std::string tooManyPieces() { return L1252("text massa llarg: més de 1000 trossos"); }
inline std::string cursorBeforeStart() { return L1252("el cursor és abans del principi del text"); }
inline std::string counterBelowMinusOne() { return L1252("repl: el comptador és menor que -1"); }
inline std::string writeWithoutParenthesis() { return L1252("write: falta \"(\""); }
inline std::string writeWithoutQuotedText() { return L1252("write: no hi ha text entre cometes dobles"); }
inline std::string counterOverflow() { return L1252("Desbordament: el comptador de canvis"); }
// (A NUL in the name would cut the message short: it shows as '?'.)
inline std::string saveFailed(const std::string& line, std::string fileName, const std::string& reason) {
    std::replace(fileName.begin(), fileName.end(), '\0', '?');
    return L1252("Error en comanda SAVE en linia ") + line + L1252(": no s'ha pogut guardar '") + fileName + "': " + reason;
}
inline std::string refCannotWrite(const std::string& fileName, const std::string& reason) {
    return L1252("ref: no es pot escriure '") + fileName + "': " + reason;
}

}  // namespace torvic::textcmd_texts
