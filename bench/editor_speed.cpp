// How the editor window copes with a large file, against a bare text box
// opening the same file: the time to open it (until shown), the memory it
// takes, and the time each key takes to show (a character typed at 20
// places spread through the text; the median and the slowest).
// Usage: editor_speed bare|torvic FILE (with a display)
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <algorithm>
#include <functional>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/editor_windows.h"
#include "editor/qt/qt_views.h"
#include "platform/linux/linux_platform.h"

using namespace torvic;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point a) {
    return std::chrono::duration<double, std::milli>(Clock::now() - a).count();
}

// A field of /proc/self/status, in kB.
long statusKb(const std::string& field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    return -1;
}

void settle(QWidget* w) {
    QApplication::processEvents();
    w->repaint();
    QApplication::processEvents();
}

// Types 'x' at 20 places spread through the text (`placeCaret` puts the
// caret at the start of the line at that twenty-first of the text); each key
// is timed from its press to the editor painted again. `beforeKey` runs
// untimed before each key.
std::vector<double> typeKeys(QWidget* editor, const std::function<void(int)>& placeCaret,
                             const std::function<void()>& beforeKey = {}) {
    std::vector<double> times;
    for (int i = 1; i <= 20; ++i) {
        placeCaret(i);
        settle(editor->window());
        if (beforeKey) beforeKey();
        const Clock::time_point t = Clock::now();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, "x");
        QApplication::sendEvent(editor, &press);
        QApplication::sendEvent(editor, &release);
        settle(editor->window());
        times.push_back(msSince(t));
    }
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    prepareProcess();
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: editor_speed bare|torvic FILE\n");
        return 2;
    }
    const std::string mode = argv[1];
    // Where the copies go (removed at the end): beside the file.
    const std::string copyFolder = std::string(argv[2]) + ".copies";
    const long baseKb = statusKb("VmRSS");
    QWidget* editor = nullptr;
    std::function<void(int)> placeCaret;
    std::size_t lines = 0;
    double openMs = 0;
    LinuxPlatform platform;
    std::unique_ptr<QPlainTextEdit> bare;
    std::unique_ptr<EditorWindows<qt::QtViews>> windows;
    if (mode == "bare") {
        bare = std::make_unique<QPlainTextEdit>();
        bare->setLineWrapMode(QPlainTextEdit::NoWrap);
        bare->resize(800, 600);
        bare->show();
        settle(bare.get());
        const Clock::time_point t = Clock::now();
        QFile file(QString::fromLocal8Bit(argv[2]));
        if (!file.open(QIODevice::ReadOnly)) return 1;
        bare->setPlainText(QString::fromUtf8(file.readAll()));
        settle(bare.get());
        openMs = msSince(t);
        editor = bare.get();
        QPlainTextEdit* box = bare.get();
        lines = static_cast<std::size_t>(box->document()->blockCount());
        placeCaret = [box](int i) {
            const long long length = box->document()->characterCount();
            QTextCursor c(box->document());
            c.setPosition(box->document()->findBlock(static_cast<int>(length * i / 21)).position());
            box->setTextCursor(c);
            box->ensureCursorVisible();
        };
    } else {
        windows = std::make_unique<EditorWindows<qt::QtViews>>(platform);
        windows->mainView.endHook = [] {};
        // "torvic-copy": the recovery copy of the unsaved text is being
        // written (on its own thread) while each key is typed and timed;
        // "torvic": no copy at all.
        windows->main.recoveryFolder = [&] { return mode == "torvic-copy" ? copyFolder : std::string(); };
        windows->mainView.show();
        settle(&windows->mainView);
        const Clock::time_point t = Clock::now();
        windows->main.onLoad(std::string("\"") + argv[2] + "\"");  // opened as a user would
        settle(&windows->mainView);
        openMs = msSince(t);
        auto* box = static_cast<qt::EditorBox*>(windows->mainView.control("Text1"));
        editor = box;
        lines = box->script().lineCount();
        placeCaret = [box](int i) {
            ScriptText& text = box->script();
            box->setCaret(text.lineStart(text.lineOf(text.size() * static_cast<std::size_t>(i) / 21)));
        };
    }
    // The peak up to the keys typed: the first edit of a large text makes
    // room in it, which takes its most.
    std::function<void()> beforeKey;
    double snapshotMs = 0;  // the slowest hand-over of the text to the copy's thread
    if (mode == "torvic-copy") {
        std::filesystem::create_directories(copyFolder);
        beforeKey = [&] {
            const Clock::time_point t = Clock::now();
            windows->main.onRecoveryTimer();
            snapshotMs = std::max(snapshotMs, msSince(t));
        };
    }
    std::vector<double> keys = typeKeys(editor, placeCaret, beforeKey);
    std::sort(keys.begin(), keys.end());
    const long peakKb = statusKb("VmHWM") - baseKb;
    std::printf("%s: open %.0f ms, memory %ld MB, key median %.1f ms, slowest %.1f ms, lines %zu\n", mode.c_str(),
                openMs, peakKb / 1024, (keys[9] + keys[10]) / 2, keys.back(), lines);
    if (mode == "torvic-copy") {
        std::printf("torvic-copy: the text handed to the copy's thread (after the keys stop) in %.1f ms at most\n",
                    snapshotMs);
        windows->main.writeRecoveryNow();  // the last write done before its folder goes
        std::filesystem::remove_all(copyFolder);
    }
    return 0;
}
