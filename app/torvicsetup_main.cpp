// torvicsetup: installs torvic, torvicrun and the manual from its own folder
// for the current user, and registers the .torvic file type.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

#include "base/qt/qt_common.h"
#include "setup/installer.h"
#include "platform/linux/xdg_registration.h"
#include "setup/qt/installer_qt.h"

int main(int argc, char** argv) {
    // Without a session bus, none is autolaunched for us (it would outlive the installer).
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS") && !QFile::exists(runtime + "/bus"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/torvicsetup-no-session-bus");
    using namespace torvic::setup;
    using torvic::xdg::XdgInstallation;
    // Registering needs no display: it may run from a console after a copy by hand.
    const bool registerOnly = argc > 1 && QString(argv[1]) == "/register";
    std::unique_ptr<QCoreApplication> app = registerOnly ? std::make_unique<QCoreApplication>(argc, argv)
                                                         : std::make_unique<QApplication>(argc, argv);
    if (!registerOnly) torvic::qt::prepareApplication(static_cast<QApplication&>(*app));
    const QString home = QDir::homePath();
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty()) dataHome = home + "/.local/share";
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = home + "/.config";
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    XdgInstallation system({QCoreApplication::applicationDirPath().toStdString(), home.toStdString(),
                            dataHome.toStdString(), config.toStdString(), desktop.toStdString()});
    if (registerOnly) {
        // After copying the files by hand: the registration alone, for the
        // given folder or this program's own.
        const QString dir = (argc > 2 ? QDir(QString::fromLocal8Bit(argv[2])).absolutePath()
                                      : QCoreApplication::applicationDirPath()) + "/";
        const std::string refusal = registrationRefusal(system, dir.toStdString(), QFile::exists(dir + "torvic"));
        if (!refusal.empty()) {
            std::fprintf(stderr, "torvicsetup: %s\n", refusal.c_str());
            return 2;
        }
        system.registerInstallation(dir.toStdString());
        return 0;
    }
    if (argc > 1 && QString(argv[1]) == "/uninstall") {
        // Removes exactly what an installation wrote, after asking.
        const QString title = QString::fromUtf8(kUninstallTitle);
        if (QMessageBox::question(nullptr, title, QString::fromUtf8(kUninstallQuestion)) != QMessageBox::Yes) return 0;
        QMessageBox::information(nullptr, title, QString::fromStdString(uninstallReport(system.uninstall())));
        return 0;
    }
    InstallerWindows<qt::InstallerQt, qt::FolderPickerQt> windows(system);
    windows.window.show();
    return QApplication::exec();
}
