#pragma once
// What torvicrun says on the console besides the run's own messages.
// Catalan, as program texts (1252); names as shown names.
#include <string>

#include "base/cp1252.h"

namespace torvic::console_texts {

inline std::string usage() {
    return L1252("Ús: torvicrun [--on-error=ask|continue|stop] [--start=N] [--trace] PROGRAMA\n"
                 "    --trace: escriu cada línia abans d'executar-la, a la sortida d'errors.");
}
inline std::string unknownOnError(const std::string& v) { return L1252("valor desconegut de --on-error: '") + v + "'"; }
inline std::string badStart(const std::string& v) {
    return L1252("--start necessita un número de línia de 0 a 299, no '") + v + "'";
}
inline std::string unknownOption(const std::string& a) { return L1252("opció desconeguda: '") + a + "'"; }
inline std::string onlyOneScript() { return L1252("només es pot executar un programa alhora"); }
inline std::string noScript() { return L1252("no s'ha indicat cap programa"); }
inline std::string cannotRead(const std::string& name, const std::string& reason) {
    return L1252("no es pot llegir '") + name + "': " + reason;
}
inline std::string readAsUtf8(const std::string& name) {
    return "'" + name + L1252("' és text UTF-8; es llegeix com a UTF-8");
}
inline std::string lineFeedsAsLineEnds(const std::string& name) {
    return "'" + name + L1252("' no té retorns de carro; els salts de línia es llegeixen com a finals de línia");
}
inline std::string tooManyLines(const std::string& name, int most) {
    return "'" + name + L1252("' té més de ") + std::to_string(most) + L1252(" línies no buides; no es pot executar");
}
inline std::string encodedWithoutKeyLength(const std::string& name) {
    return "'" + name + L1252("' és codificat, però la capçalera no diu la llargada de la clau; no es pot executar");
}
inline std::string startBeyondEnd(const std::string& start, int lines) {
    return "--start=" + start + L1252(" és més enllà de les ") + std::to_string(lines) +
           L1252(" línies no buides del programa (numerades des de 0)");
}
inline std::string internalError(const std::string& what) { return L1252("error intern: ") + what; }
inline std::string waitsForUnseenTime(const std::string& hora) {
    return L1252("l'execució espera '") + hora + L1252("', que el rellotge no mostra mai; s'abandona");
}
inline std::string waitsForever() {
    return L1252("l'execució espera un interval zero, que no s'acaba mai; s'abandona");
}

}  // namespace torvic::console_texts
