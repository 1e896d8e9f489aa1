// torvic: the editor and interpreter window.
#include <QApplication>
#include <QSocketNotifier>

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <optional>

#include <cstdio>

#include "base/qt/qt_common.h"
#include "editor/command_line.h"
#include "editor/editor_texts.h"
#include "editor/editor_windows.h"
#include "editor/manual.h"
#include "editor/qt/help_window_qt.h"
#include "editor/qt/qt_views.h"
#include "editor/qt/qt_text.h"
#include "platform/linux/linux_platform.h"

namespace {

// The Linux platform with the desktop's own beep.
class GuiPlatform : public torvic::LinuxPlatform {
public:
    void beep() override { QApplication::beep(); }
};

}  // namespace

int main(int argc, char** argv) {
    // The usage goes to the console, without a window.
    if (argc == 2 && torvic::isHelpRequest(argv[1])) {
        std::fputs(torvic::usageText(true).c_str(), stdout);
        return 0;
    }
    torvic::prepareProcess();
    torvic::qt::GuardedApplication app(argc, argv);
    torvic::qt::prepareApplication(app);
    // The classic style draws frame captions on the frame's border, as designed.
    QApplication::setStyle("Windows");
    app.setQuitOnLastWindowClosed(false);  // a hidden run keeps the program alive

    // "torvic /manual": the manual alone, in the help window (the launcher
    // "Documentació del Torvic" and the installer use it).
    if (argc == 2 && QString(argv[1]) == "/manual") {
        torvic::qt::HelpWindowQt help;
        help.showHtml(QString::fromUtf8(torvic::manualHtml()));
        app.setQuitOnLastWindowClosed(true);
        return app.exec();
    }

    GuiPlatform platform;
    torvic::EditorWindows<torvic::qt::QtViews> windows(platform);
    torvic::qt::MainWindowQt& window = windows.mainView;
    torvic::MainWindowPresenter& torvic = windows.main;
    // The manual torvic.rtf lives beside the program (a system name).
    torvic.programDirectory = [] { return QCoreApplication::applicationDirPath().toStdString(); };

    // The command line as one text, as the shell would pass it; its names
    // are the system's as they stand.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    const std::string cmd = torvic::commandLineText(args);

    // Ended from outside (a signal, a display that went away): work not yet
    // saved is in its recovery copy before the program goes.
    static torvic::MainWindowPresenter* endingTarget = &torvic;
    std::atexit([] {
        if (endingTarget) endingTarget->writeRecoveryNow();
    });
    // A failure nothing foresaw ends no work: the copy is written, the
    // user told, and the editor goes on.
    app.onEscaped = [&torvic, &window](const std::string& what) {
        const bool written = torvic.writeRecoveryNow();
        window.messageBox(torvic::editor_texts::unexpectedError(what, written),
                          torvic::editor_texts::unexpectedErrorTitle(), torvic::MessageIcon::Critical, false);
    };
    std::optional<QSocketNotifier> endRequests;
    if (const int endSignals = torvic::catchTerminationSignals(); endSignals >= 0) {
        endRequests.emplace(endSignals, QSocketNotifier::Read);
        QObject::connect(&*endRequests, &QSocketNotifier::activated, [&torvic, endSignals] {
            unsigned char number = SIGTERM;
            if (read(endSignals, &number, 1) != 1) return;
            torvic.writeRecoveryNow();
            endingTarget = nullptr;
            torvic::endBySignal(number);
        });
    }

    if (torvic::parseCommandLine(cmd).kind != torvic::StartRequest::RunHidden) {
        // Shown first, centred, so that a file that cannot be opened reports over the window.
        window.show();
    }
    torvic.onLoad(cmd);
    const int status = app.exec();
    endingTarget = nullptr;  // ended as it should: the windows say what became of the work
    return status;
}
