#pragma once
// Every text of torvicsetup a user can read when something goes wrong
// (UTF-8, Catalan), on every system: the installer window's boxes, the
// refusals of "/register" and the uninstaller's.
#include <string>
#include <system_error>

namespace torvic::setup::texts {

// The installer window: a directory it cannot use.
inline constexpr const char* kInstallErrorTitle = "Error en la instal·lació:";
inline constexpr const char* kBadDirectory = "Error en el nom del directori.";
inline constexpr const char* kControlCharacters =
    "Error en el nom del directori: no pot contenir caràcters de control (salts de línia, tabuladors...).";

// The failure report: the question, then the error's number, what raised it
// and the system's reason.
inline constexpr const char* kFailureTitle = "Problema en la instal·lació:";
inline std::string failureQuestion(const std::string& byHand) {
    return "ERROR: No s'ha pogut instal·lar. Podeu provar d'instalar el programa manualment: \r " + byHand +
           "\r\r  Voleu més informació de l'error ?";
}
inline constexpr const char* kFailureDetailTitle = "Problema amb la instal·lació:";
inline std::string failureDetail(int number, const std::string& component, const std::string& reason) {
    return "Error # " + std::to_string(number) + " generat per " + component + "\r" + reason +
           "\r\rS'ha desfet tot el que s'havia fet: el sistema queda com estava abans de la instal·lació.";
}
// What raised it.
inline std::string makingFolder(const std::string& dir) { return "la creació de la carpeta " + dir; }
inline std::string copyingFile(const std::string& name) { return "la còpia del fitxer " + name; }

// The reason when the system gives none in its own words (the system's
// Catalan texts come through Installation::describe).
inline std::string reason(const std::error_code& error) {
    return "Error del sistema número " + std::to_string(error.value()) + ".";
}

// "/register FOLDER" refused.
inline constexpr const char* kControlCharactersRefused =
    "no es pot registrar una carpeta el nom de la qual conté caràcters de control";
inline constexpr const char* kNotUtf8Refused = "no es pot registrar una carpeta el nom de la qual no és UTF-8";
inline std::string notAbsoluteRefused(const std::string& dir) { return dir + " no és una carpeta absoluta"; }
inline std::string noProgramRefused(const std::string& dir) { return dir + " no conté el programa torvic"; }
inline constexpr const char* kRegisterTitle = "Registre de Torvic:";

// "/uninstall".
inline constexpr const char* kUninstallTitle = "Desinstal·lació de Torvic:";
inline constexpr const char* kUninstallQuestion = "Voleu desinstal·lar el programa Torvic ?";
inline constexpr const char* kNoTemporaryFolder =
    "No s'ha pogut desinstal·lar: no es pot escriure a la carpeta temporal.";
}  // namespace torvic::setup::texts
