#pragma once
// The usage of torvicsetup (UTF-8), for the console or a message box.
#include <string_view>

namespace torvic::setup {

inline constexpr const char* kSetupUsage =
    "Ús: torvicsetup [/register [CARPETA] | /uninstall [/quiet]]\n"
    "\n"
    "Sense arguments: obre l'instal·lador, que copia torvic, torvicrun i el manual "
    "a una carpeta per a l'usuari actual.\n"
    "/register [CARPETA]: registra els fitxers copiats a mà a CARPETA (o a la "
    "carpeta d'aquest programa).\n"
    "/uninstall: desinstal·la, després de preguntar-ho.\n"
    "/uninstall /quiet: desinstal·la sense preguntar.\n"
    "--help: mostra aquesta ajuda.\n";

// Whether the arguments ask for the usage: "--help", "-h" or "/?" alone.
inline bool isSetupHelpRequest(int argumentCount, const char* first) {
    if (argumentCount != 1) return false;
    const std::string_view a(first);
    return a == "--help" || a == "-h" || a == "/?";
}

}  // namespace torvic::setup
