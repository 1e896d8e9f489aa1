#pragma once
// The reasons the engine and its commands give when a line fails, shown on
// the second line of the run's prompt. Catalan, as program texts (1252).
#include <string>

#include "base/cp1252.h"

namespace torvic::engine_texts {

inline std::string slotAbove15(int slot) {
    return L1252("exec: la posició de programa ") + std::to_string(slot) + L1252(" passa de 15");
}
inline std::string slotOutside(int slot) {
    return L1252("focu: la posició de programa ") + std::to_string(slot) + L1252(" és fora de 0..15");
}
inline std::string noDateWithNumber(const std::string& number) {
    return L1252("Desbordament: cap data no té el número ") + number;
}
inline std::string negativeWait() { return L1252("l'interval d'espera és negatiu"); }
inline std::string waitBeyondCalendar() { return L1252("Desbordament: l'espera acabaria fora del calendari"); }
inline std::string notATimeOfDay(const std::string& text) { return L1252("no és una hora del dia: ") + text; }
inline std::string notADate(const std::string& text) { return L1252("no és una data: ") + text; }
inline std::string outOfMemory() { return L1252("no hi ha prou memòria per a aquesta línia"); }
inline std::string internalError(const std::string& what) { return L1252("error intern: ") + what; }

}  // namespace torvic::engine_texts
