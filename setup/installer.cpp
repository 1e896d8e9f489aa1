#include "setup/installer.h"

#include <filesystem>

#include "base/text.h"
#include "setup/registration.h"

namespace torvic::setup {

namespace fs = std::filesystem;

std::string defaultInstallDirectory(const std::string& home) { return home + "/.local/opt/Torvic/"; }


void InstallerPresenter::onLoad() {
    view_.setText1(places_.defaultDir);
    view_.setNotes(places_.notes.libraries, places_.notes.uninstalling);
}

void InstallerPresenter::onInfo() {
    view_.messageBox(places_.notes.sharedFiles, "Llibreries que utilitzarà aquest programa:", BoxIcon::Information);
}

void InstallerPresenter::onBrowse(FolderPickerPresenter& picker) {
    picker.show();
    std::string d = picker.Directori;
    if (d.empty()) return;
    if (!d.ends_with('/')) d += '/';
    view_.setText1(d + "Torvic/");
}

void registerInstallation(const InstallPlaces& places, const std::string& dir) {
    // The desktop folder, when this installation (or an earlier one) makes
    // it, goes again with the uninstallation.
    std::error_code ec;
    std::string madeDesktop = madeDesktopDirectory(places.dataHome);
    if (!fs::exists(places.desktopDir, ec)) madeDesktop = places.desktopDir;
    afegirRegistre(places.dataHome, dir, madeDesktop);  // reports no failure of its own
    const std::string menu = places.dataHome + "/applications/Torvic";
    crearDrecera(dir + "torvic", places.desktopDir, "Editor de Programes Torvic");
    crearDrecera(dir + "torvic", menu, "Editor de Programes Torvic");
    crearDrecera(dir + "torvic", menu, "Documentació del Torvic", "/manual");
    crearDrecera(dir + "torvicsetup", menu, "Desinstal·lar Torvic", "/uninstall");  // the way back out
}

void InstallerPresenter::onInstall() {
    std::string dir(trimBlanks(view_.text1()));
    view_.setText1(dir);
    // An absolute path: a relative one, "c:prova" or nothing at all says where nothing.
    if (dir.empty() || dir[0] != '/') {
        view_.messageBox("Error en el nom del directori.", "Error en la instal·lació:", BoxIcon::Critical);
        return;
    }
    // A line feed in the name would end a line of the desktop entries.
    if (hasControlCharacters(dir)) {
        view_.messageBox("Error en el nom del directori: no pot contenir caràcters de control (salts de línia, "
                         "tabuladors...).",
                         "Error en la instal·lació:", BoxIcon::Critical);
        return;
    }
    if (!dir.ends_with('/')) {
        dir += '/';
        view_.setText1(dir);
    }
    registerInstallation(places_, dir);
    std::error_code ec;
    // The last level only (a failure is passed over); the per-user default
    // gets its parents too, which a new account does not have yet.
    if (dir == places_.defaultDir)
        fs::create_directories(dir, ec);
    else
        fs::create_directory(dir, ec);
    for (const char* name : {"torvic", "torvic.rtf", "torvic.html", "torvicrun", "torvicsetup"}) {
        ec.clear();
        fs::copy_file(fs::path(places_.sourceDir) / name, fs::path(dir) / name, fs::copy_options::overwrite_existing,
                      ec);
        // torvicrun, torvicsetup (which uninstalls) and the HTML manual are
        // companions: the installation stands without them.
        const std::string copied = name;
        if (ec && (copied == "torvic" || copied == "torvic.rtf")) {
            failureReport(ec.value(), "copy_file (" + std::string(name) + ")", ec.message());
            return;
        }
    }
    view_.messageBox("Programa instalat correctament a " + dir, "Instal·lació realitzada amb èxit:",
                     BoxIcon::Information);
    if (view_.askYesNo("Voleu veure les intruccions d'ús del programa ara?", "Apendre les comandes:"))
        view_.openManual(dir);
    view_.endProgram();
}

void InstallerPresenter::failureReport(int number, const std::string& component, const std::string& description) {
    const std::string text = "ERROR: No s'ha pogut instal·lar. Podeu provar d'instalar el programa manualment: \r"
                             " Copieu el fitxer torvic i el torvic.rtf al directori " + places_.defaultDir +
                             " i executeu el torvicsetup /register.\r\r  Voleu més informació de l'error ?";
    if (view_.askYesNo(text, "Problema en la instal·lació:") && number != 0)
        view_.messageBox("Error # " + std::to_string(number) + " generat per " + component + "\r" + description,
                         "Problema amb la instal·lació:", BoxIcon::None);
}

}  // namespace torvic::setup
