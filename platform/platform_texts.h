#pragma once
// Every text the platform layer gives a user to read: the reasons of its
// failures, shown on the run's prompt, in the file boxes and by the console
// runner. Catalan, as program texts (1252), written in UTF-8 here.
#include <cstdint>
#include <string>

#include "base/cp1252.h"

namespace torvic::platform_texts {

// Files, in the same words on every system.
inline std::string isAFolder() { return L1252("és una carpeta"); }
inline std::string notAPlainFile() { return L1252("no és un fitxer normal (és un dispositiu, una canonada o un sòcol)"); }
inline std::string readOnlyFile() { return L1252("el fitxer és només de lectura"); }
inline std::string anotherUsersFile() {
    return L1252("el fitxer és d'un altre usuari, i en guardar-lo passaria a ser vostre");
}
inline std::string emptyFileName() { return L1252("el nom del fitxer és buit"); }
inline std::string nulInName() { return L1252("el nom conté un caràcter NUL"); }
inline std::string tooLargeToRead(std::uint64_t size, std::uint64_t maxBytes) {
    return L1252("fa ") + std::to_string(size) + L1252(" bytes, més dels ") + std::to_string(maxBytes) +
           L1252(" que es poden llegir");
}
inline std::string driveInName(const std::string& drive) {
    return L1252("el nom comença amb la unitat ") + drive +
           L1252(", i en aquest sistema els noms no porten unitat: doneu el camí sense la unitat");
}
inline std::string copyNotAFile(const std::string& from) { return L1252("copy: '") + from + L1252("' no és un fitxer"); }
inline std::string copyFailed(const std::string& reason) { return "copy: " + reason; }

// Programs and windows.
inline std::string cannotStart(const std::string& program, const std::string& reason) {
    return L1252("no s'ha pogut iniciar '") + program + "': " + reason;
}
inline std::string emptyCommandLine() { return L1252("la línia d'ordres és buida"); }
inline std::string invalidWindowMode() { return L1252("mode de finestra no vàlid"); }
inline std::string noWindowOfProcess(const std::string& processId) {
    return L1252("focu: el procés ") + processId + L1252(" no té cap finestra");
}
inline std::string noSuchProcess(const std::string& processId) {
    return L1252("focu: no hi ha cap procés ") + processId + L1252(" (ja ha acabat, o no n'és cap)");
}
inline std::string noWindowOfProcessIn(const std::string& processId, const std::string& program,
                                       const std::string& lookedIn) {
    return L1252("focu: el procés ") + processId + " (" + program + L1252(") no té cap finestra ") + lookedIn;
}
inline std::string onXDisplay(const std::string& display) { return L1252("a la pantalla X '") + display + "'"; }
inline std::string onXwaylandDisplay(const std::string& display) {
    return L1252("a la pantalla X '") + display +
           L1252("' (Xwayland): les finestres natives de Wayland no s'hi veuen");
}
inline std::string needsDisplayUnset(const std::string& what) {
    return what + L1252(" necessita una pantalla X, i DISPLAY no està definida");
}
inline std::string needsDisplayUnopened(const std::string& what, const std::string& display) {
    return what + L1252(" necessita una pantalla X, i no es pot obrir '") + display + "'";
}

// A Wayland session.
inline std::string waylandUnopened(const std::string& what, const std::string& display) {
    return what + L1252(": no es pot connectar amb el compositor Wayland '") + display + "'";
}
inline std::string waylandLost(const std::string& what) {
    return what + L1252(": s'ha perdut la connexió amb el compositor Wayland");
}
inline std::string waylandNoPointerPlace(const std::string& what) {
    return what + L1252(": aquest compositor Wayland no diu on és el punter (sway no ho diu; Hyprland sí)");
}
inline std::string waylandNoProcessWindows(const std::string& processId) {
    return L1252("focu: aquest compositor Wayland no diu de quin procés és cada finestra; no es pot trobar la del procés ") +
           processId;
}
// The compositor lists windows without their processes: only those of
// programs this run started (each the first window that appeared after it) are known.
inline std::string waylandUnknownProcess(const std::string& processId) {
    return L1252("focu: aquest compositor Wayland no diu de quin procés és cada finestra; només es poden trobar les "
                 "dels programes iniciats amb exec en aquesta execució, i el procés ") +
           processId + L1252(" no n'és cap");
}
inline std::string waylandNoOutput(const std::string& what) {
    return what + L1252(": el compositor Wayland no té cap pantalla");
}
inline std::string compositorRefused(const std::string& what, const std::string& reason) {
    return what + L1252(": el compositor no ho ha fet: ") + reason;
}
// Xwayland: the window with the focus is a Wayland one, out of reach of X.
inline std::string notAnXWindow(const std::string& what) {
    return what + L1252(": la finestra activa no és d'X (és una finestra Wayland nativa) i aquesta sessió no té cap "
                        "manera d'arribar-hi; no s'ha fet res");
}
// Xwayland knows the pointer only while it moves over X windows.
inline std::string xwaylandPointerUnknown(const std::string& what) {
    return what + L1252(": en aquesta sessió Wayland només se sap on és el punter quan s'ha mogut damunt d'una "
                        "finestra X (Xwayland) i no n'ha sortit, i ara no és el cas (pot ser damunt d'una finestra "
                        "Wayland nativa)");
}
// The desktop portal (a Wayland session without the wlroots protocols).
inline std::string noPortal(const std::string& what, const std::string& reason) {
    return what + L1252(": aquesta sessió Wayland no té el portal d'escriptori (org.freedesktop.portal.Desktop) "
                        "per controlar el teclat i el ratolí: ") + reason;
}
inline std::string portalFailed(const std::string& what, const std::string& call, const std::string& reason) {
    return what + L1252(": el portal d'escriptori ha fallat a ") + call + (reason.empty() ? "" : ": " + reason);
}
inline std::string portalNoAnswer(const std::string& what) {
    return what + L1252(": el portal d'escriptori no ha respost a la petició de control del teclat i el ratolí");
}
inline std::string portalRefused(const std::string& what) {
    return what + L1252(": s'ha refusat el permís de controlar el teclat i el ratolí (el portal d'escriptori ho "
                        "ha preguntat i la resposta ha estat que no); no s'ha fet res");
}
inline std::string portalNoKeyboard() { return L1252("send: el portal d'escriptori no ha donat accés al teclat"); }
inline std::string portalNoPointer() { return L1252("mouse: el portal d'escriptori no ha donat accés al ratolí"); }
inline std::string portalCannotType(const std::string& characters) {
    return L1252("send: el mapa del teclat actual no pot escriure '") + characters +
           L1252("' (ni amb una tecla morta) i el portal d'escriptori només tecleja el que hi ha al mapa; no s'ha "
                 "teclejat res");
}
inline std::string portalNoScreenAt(int x, int y) {
    return L1252("mouse: el portal d'escriptori no ha donat cap pantalla que tingui el punt ") + std::to_string(x) +
           "," + std::to_string(y);
}
// `desktop`: "GNOME", "KDE" or empty.
inline std::string nativeWindowsOutOfReach(const std::string& desktop) {
    return L1252("que es pugui portar al davant: només hi ha a l'abast les finestres X (Xwayland), i ") +
           (desktop.empty() ? L1252("aquest escriptori Wayland") : desktop) +
           L1252(" no deixa que un programa porti al davant la finestra nativa de Wayland d'un altre");
}
inline std::string inKWin() { return L1252("entre les finestres que KWin (KDE) coneix"); }
inline std::string noAnswer() { return L1252("no ha respost"); }
inline std::string kwinScriptFailed(const std::string& what, const std::string& reason) {
    return what + L1252(": l'script de KWin (KDE) que ho havia de fer no ha funcionat: ") + reason;
}
inline std::string pointerOutOfReach(const std::string& desktop) {
    if (desktop == "GNOME")
        return L1252("ifmouse: GNOME en una sessió Wayland no deixa llegir la posició del ratolí a cap programa; "
                     "cal entrar a la sessió \"GNOME sobre Xorg\" (X11) per fer servir ifmouse");
    return L1252("ifmouse: ") + (desktop.empty() ? L1252("aquest escriptori Wayland") : desktop) +
           L1252(" no dona la posició del ratolí als programes (ni el portal d'escriptori ni el compositor)");
}

// Keys.
inline std::string invalidKeys(const std::string& why) { return L1252("notació de tecles no vàlida: ") + why; }
inline std::string unknownKey(const std::string& name) { return L1252("tecla desconeguda {") + name + "}"; }
inline std::string modifierWithoutKey() { return L1252("un modificador sense cap tecla darrere"); }
inline std::string noKeyFor(const std::string& keysym) { return L1252("no hi ha cap tecla virtual per a ") + keysym; }
inline std::string noXtest() {
    return L1252("send: el servidor X no té l'extensió XTEST i no es pot teclejar cap tecla");
}
inline std::string noSpareKeyCode() {
    return L1252("send: el mapa del teclat no té cap codi lliure per als caràcters que no hi són; no s'ha teclejat res");
}

// A system error that has no text of the system's own in Catalan.
inline std::string systemError(long long code, const std::string& systemText) {
    return L1252("error del sistema ") + std::to_string(code) + (systemText.empty() ? "" : " (" + systemText + ")");
}

}  // namespace torvic::platform_texts
