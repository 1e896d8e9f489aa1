#pragma once
// Texts the editor's windows give a user to read about the desktop they
// work on. Catalan, as program texts (1252), written in UTF-8 here.
#include <string>

#include "base/cp1252.h"

namespace torvic::editor_texts {

// The mouse position picker where no desktop backend reads the pointer.
inline std::string pickerUnavailable() { return L1252("no disponible"); }
inline std::string pickerTitle() { return L1252("Posició del Ratolí:"); }
inline std::string pointerUnavailable(const std::string& reason) {
    return L1252("La posició del ratolí no està disponible en aquest escriptori: ") + reason;
}
inline std::string pointerNotMoved(const std::string& reason) {
    return L1252("El ratolí no s'ha mogut: ") + reason;
}

// The way the desktop commands reach this desktop, said once.
inline std::string desktopBackend(const std::string& name) {
    return L1252("Les ordres d'escriptori (send, mouse, focu...) hi arriben per ") + name + ".";
}

// Without a notification area, a window sent away for a hidden run.
inline std::string minimisedInstead() {
    return L1252("No hi ha àrea de notificació: la finestra s'ha minimitzat a la barra de tasques.");
}
inline std::string minimiseAsked() {
    return L1252("No hi ha àrea de notificació: s'ha demanat a l'escriptori que minimitzi la finestra, però "
                 "alguns escriptoris Wayland no ho fan i llavors es queda a la vista.");
}

// A failure no handler foresaw, caught before it could end the program.
inline std::string unexpectedError(const std::string& what, bool copyWritten) {
    return L1252("Hi ha hagut un error inesperat: ") + what +
           (copyWritten ? L1252("\r\rEl programa continua; les modificacions sense guardar són a la còpia de "
                                "recuperació.")
                        : L1252("\r\rEl programa continua."));
}
inline std::string unexpectedErrorTitle() { return L1252("Error inesperat:"); }

}  // namespace torvic::editor_texts
