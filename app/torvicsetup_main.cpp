// torvicsetup: installs torvic, torvicrun and the manual from its own folder
// for the current user, and registers the .torvic file type.
#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include "setup/instalar.h"
#include "setup/qt/instalar_qt.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    using namespace torvic::setup;
    const QString home = QDir::homePath();
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty()) dataHome = home + "/.local/share";
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    InstallPlaces places{QCoreApplication::applicationDirPath().toStdString(), dataHome.toStdString(),
                         desktop.toStdString(), defaultInstallDirectory(home.toStdString())};
    qt::InstalarQt window;
    Instalar instalar(window, places);
    qt::FrmDirectoriQt pickerView;
    FrmDirectori picker(pickerView);
    pickerView.attach(&picker);
    window.attach(&instalar, &picker);
    instalar.Form_Load();
    window.show();
    return app.exec();
}
