#pragma once
// What every window program of Torvic (the editor and the installer) sets up
// the same way in Qt: the icon, Qt's own texts in Catalan, message boxes wide
// enough for their titles, and no settings file of Qt's.
#include <QApplication>
#include <QIcon>
#include <QString>

#include <functional>
#include <string>

class QCoreApplication;
class QMessageBox;
class QWidget;

namespace torvic::qt {

// The program's icon, drawn at 16 and 32 pixels.
QIcon torvicIcon();

// Qt's own texts (standard buttons, file dialogs, context menus) in Catalan,
// from the translations installed with Qt; false when they are not there.
bool installCatalanTranslation(QCoreApplication& app);

// The width a window needs for the window manager to show `title` whole
// beside its buttons.
int titleWidth(const QString& title);
// Every message box the application shows is made at least titleWidth of
// its title wide (a box is otherwise only as wide as its text, and the
// window manager cuts the title).
void fitMessageBoxTitles(QApplication& app);

// Runs `box` over the dialog `over`. The box is the application's own
// window, not the dialog's: some window managers (matchbox) hand the focus
// of a dialog's dialog to its owner, and Qt hands the focus of a window a
// modal box blocks back to the box, so the two would pass it on for ever
// and the box would never take a key or a click.
int execOverDialog(QMessageBox& box, const QWidget* over);

// The program keeps no settings: Qt's file dialog would otherwise write its
// last folder to ~/.config/QtProject.conf.
void keepNoSettings();

// The application whose events cannot end it: an exception that reaches the
// event loop (from a timer, a menu item, a button: a failure no handler
// foresaw) would otherwise end the program with whatever work it holds
// unsaved. It is caught here and handed to `onEscaped` (its text), and the
// event counts as not handled.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    std::function<void(const std::string&)> onEscaped;
    bool notify(QObject* receiver, QEvent* event) override;
};

// The whole set, for a window program's start.
void prepareApplication(QApplication& app);

}  // namespace torvic::qt
