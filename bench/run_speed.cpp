// How long "Executa tot" and "Executa Ocult" take in the editor window on a
// script given on the command line, through the same code as a user's click.
// Usage: run_speed SCRIPT (with a display, or QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <chrono>
#include <cstdio>

#include "editor/editor_windows.h"
#include "editor/qt/qt_views.h"
#include "platform/linux/linux_platform.h"

using namespace torvic;

int main(int argc, char** argv) {
    prepareProcess();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: run_speed SCRIPT\n");
        return 2;
    }
    LinuxPlatform platform;
    EditorWindows<qt::QtViews> windows(platform);
    qt::MainWindowQt& window = windows.mainView;
    MainWindowPresenter& torvic = windows.main;
    window.endHook = [] {};  // the hidden run's end leaves the program to us
    window.show();
    torvic.onLoad(std::string("\"") + argv[1] + "\"");  // opened as a user would
    QApplication::processEvents();

    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::time_point a) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - a).count();
    };
    Clock::time_point t = Clock::now();
    torvic.onRunAll();  // "Executa tot": returns when the run has finished
    std::printf("visible run (Executa tot): %lld ms\n", static_cast<long long>(ms(t)));
    t = Clock::now();
    torvic.onRunHidden();  // "Executa Ocult"
    std::printf("hidden run (Executa Ocult): %lld ms\n", static_cast<long long>(ms(t)));
    return 0;
}
