// torvicsetup: installs torvic, torvicrun and the manual from its own folder
// for the current user, and registers the .torvic file type.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/qt/qt_common.h"
#include "platform/linux/xdg_registration.h"
#include "platform/conventions.h"
#include "setup/installer.h"
#include "setup/usage.h"
#include "setup/qt/installer_qt.h"

#include <X11/Xlib.h>  // last: its macros clash with Qt's names

namespace {

namespace fs = std::filesystem;

// Names from the system are kept as its bytes (they may hold characters
// no other encoding has).
std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Whether Qt can open a window: a platform chosen by hand, a Wayland
// session or an X server that answers.
bool hasDisplay() {
    if (!environment("QT_QPA_PLATFORM").empty() || !environment("WAYLAND_DISPLAY").empty()) return true;
    if (environment("DISPLAY").empty()) return false;
    Display* display = XOpenDisplay(nullptr);
    if (display) XCloseDisplay(display);
    return display != nullptr;
}

// An absolute folder without "." or ".." and ending with "/", for a folder
// named on the command line.
std::string absoluteFolder(const std::string& name) {
    std::error_code ec;
    std::string dir = (name.starts_with("/") ? fs::path(name) : fs::current_path(ec) / name).lexically_normal().string();
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir == "/" ? dir : dir + "/";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace torvic::setup;
    using torvic::xdg::XdgInstallation;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto given = [&args](const char* option) {
        for (const std::string& a : args)
            if (a == option) return true;
        return false;
    };
    // The usage goes to the console, without a window.
    if (isSetupHelpRequest(static_cast<int>(args.size()), args.empty() ? "" : args[0].c_str())) {
        std::fputs(kSetupUsage, stdout);
        return 0;
    }
    const bool registerOnly = !args.empty() && args[0] == "/register";
    const bool uninstall = !args.empty() && args[0] == "/uninstall";
    const bool quiet = given("/quiet");
    // Registering needs no display (it may run from a console after a copy
    // by hand), nor does uninstalling with /quiet or on a terminal.
    const bool display = !registerOnly && !(uninstall && quiet) && hasDisplay();
    if (!registerOnly && !uninstall && !display) {
        std::fprintf(stderr,
                     "torvicsetup: la finestra de l'instal·lador necessita una pantalla.\n"
                     "Sense pantalla: torvicsetup /register [DIRECTORI] registra els fitxers copiats a mà, "
                     "torvicsetup /uninstall [/quiet] desinstal·la.\n");
        return 2;
    }
    // Without a session bus, none is autolaunched for us (it would outlive the installer).
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (environment("DBUS_SESSION_BUS_ADDRESS").empty() && !fs::exists(runtime + "/bus"))
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/torvicsetup-no-session-bus", 1);
    std::unique_ptr<QCoreApplication> app = display ? std::make_unique<QApplication>(argc, argv)
                                                    : std::make_unique<QCoreApplication>(argc, argv);
    if (display) torvic::qt::prepareApplication(static_cast<QApplication&>(*app));
    std::string home = environment("HOME");
    if (home.empty()) home = QDir::homePath().toStdString();
    std::string dataHome = environment("XDG_DATA_HOME");
    if (dataHome.empty()) dataHome = home + "/.local/share";
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    const std::string desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString();
    XdgInstallation system({torvic::conventions::programFolder(), home, dataHome, config, desktop});
    if (registerOnly) {
        // After copying the files by hand: the registration alone, for the
        // given folder or this program's own.
        const std::string dir = absoluteFolder(args.size() > 1 ? args[1] : system.sourceDirectory());
        std::error_code ec;
        const std::string refusal = registrationRefusal(system, dir, fs::exists(dir + "torvic", ec));
        if (!refusal.empty()) {
            std::fprintf(stderr, "torvicsetup: %s\n", refusal.c_str());
            return 2;
        }
        system.registerInstallation(dir);
        return 0;
    }
    if (uninstall && !display)
        return uninstallWithoutWindow(system, quiet, isatty(STDIN_FILENO), std::cin, std::cout, std::cerr);
    if (uninstall) {
        // Removes exactly what an installation wrote, after asking.
        const QString title = QString::fromUtf8(kUninstallTitle);
        if (QMessageBox::question(nullptr, title, QString::fromUtf8(kUninstallQuestion)) != QMessageBox::Yes)
            return uninstallAnswered(false);
        QMessageBox::information(nullptr, title, QString::fromStdString(uninstallReport(system.uninstall())));
        return uninstallAnswered(true);
    }
    InstallerWindows<qt::InstallerQt, qt::FolderPickerQt> windows(system);
    windows.window.show();
    return QApplication::exec();
}
