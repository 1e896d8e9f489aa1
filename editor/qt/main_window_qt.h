#pragma once
// The Qt view of the main window: widgets at their design geometry, the
// menu bar, timers and dialogs. It shows what the behaviour says and
// forwards every event to it.
#include <QGuiApplication>
#include <QMainWindow>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include "base/qt/form_qt.h"
#include "editor/main_window.h"
#include "editor/qt/help_window_qt.h"
#include "editor/qt/script_editor_qt.h"

class QAction;
class QCoreApplication;
class QLabel;
class QLineEdit;
class QPushButton;
class QSystemTrayIcon;
class QTimer;

namespace torvic::qt {

class MainWindowQt : public QMainWindow, public MainWindowView {
public:
    MainWindowQt();
    ~MainWindowQt() override;

    void attach(MainWindowPresenter* behaviour) { torvic_ = behaviour; }
    // What ending the program does; by default the application's event loop
    // is ended (tests put something harmless here).
    std::function<void()> endHook;
    // How long a status line stays (tests shorten it).
    int statusMilliseconds = 15000;

    // Controls and menu items by their design names, for tests.
    QWidget* control(const std::string& name) const;
    QAction* menuItem(const std::string& name) const;

    // MainWindowView
    void setCaption(const std::string& text) override;
    void setRunLineMark(int index) override;
    std::string editorText() override;
    void setEditorText(const std::string& text) override;
    std::string editorTextUtf8() override;
    void setEditorTextUtf8(std::string text) override;
    void replaceEditorTextUtf8(const std::string& text) override;
    std::size_t editorCaret() override;
    CaretLine editorCaretLine() override;
    bool editorHoldsAfterCaretLine(char c) override;
    std::optional<bool> editorModified() override;
    void setEditorModified(bool modified) override;
    void setEditorTooltip(const std::string& text) override;
    void focusEditor() override;
    std::string text2() override;
    void setText2(const std::string& text) override;
    std::string text3() override;
    void setText3(const std::string& text) override;
    void setText4(const std::string& text) override;
    void setText4Tooltip(const std::string& text) override;
    void setText4Highlighted(bool lightYellow) override;
    void setCaretLabels(const std::string& line, const std::string& column) override;
    void setRunButtonsEnabled(bool enabled) override;
    void repaintNow() override;
    void handlePendingInput() override;
    bool isVisible() override { return QMainWindow::isVisible(); }
    void setVisible(bool visible) override { QMainWindow::setVisible(visible); }
    void applyLayout(const std::vector<LayoutStep>& steps) override;
    void moveEndButtonOutOfSight() override;
    void startRunTimer(int intervalMs) override;
    void stopRunTimer() override;
    long long steadyMs() override;
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon, bool systemModal) override;
    bool askYesNo(const std::string& text, const std::string& title, MessageIcon icon) override;
    SaveChoice askSaveChanges(const std::string& text, const std::string& title) override;
    int askChoice(const std::string& text, const std::string& title, const std::vector<std::string>& buttons,
                  int defaultButton) override;
    void startRecoveryTimer(int intervalMs) override;
    void openInNewWindow(const std::string& systemFile) override;
    std::string openFileDialog(const std::string& startDirectory, const std::string& fileName,
                               const std::string& filter) override;
    std::string saveFileDialog(const std::string& startDirectory, const std::string& fileName,
                               const std::string& filter) override;
    bool showNotificationIcon(const std::string& tooltip) override;
    void removeNotificationIcon() override;
    void setTrayChecks(bool aturat, bool executant) override;
    // A Wayland compositor says nothing of minimising (and some never do):
    // there the request is all that is known.
    bool minimise() override {
        showMinimized();
        return QGuiApplication::platformName() != QLatin1String("wayland");
    }
    void showStatus(const std::string& text) override;
    void clearStatus() override;
    void showManual(const std::string& htmlUtf8, bool print) override;
    HelpWindowQt* helpWindow() const { return help_; }
    void endProgram() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close box ends the program as "End" does (which asks about unsaved work).
    void closeEvent(QCloseEvent* event) override;
    // Brought back from the taskbar: as from the notification area.
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void highlightText4(bool lightYellow);
    void buildMenus();
    QAction* addItem(QMenu* menu, const std::string& name, const QString& caption, const QKeySequence& shortcut,
                     void (MainWindowPresenter::*handler)());

    MainWindowPresenter* torvic_ = nullptr;
    FormWidgets controls_;
    std::map<std::string, QAction*> items_;
    EditorBox* text1_ = nullptr;
    QLineEdit *text2_ = nullptr, *text3_ = nullptr, *text4_ = nullptr;
    QLabel *label5_ = nullptr, *label6_ = nullptr;
    QFont labelFont_;  // theirs, before a long number made it smaller
    // What the window grew by for the status line, and the height it had then.
    int statusGrowth_ = 0, statusGrownHeight_ = 0;
    QTimer* runTimer_ = nullptr;  // Timer1 and Timer2: the run's one timer
    QTimer* recoveryTimer_ = nullptr;  // writes the recovery copy once the keys pause
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* rcPopup_ = nullptr;  // RCpopup: the icon's menu
    HelpWindowQt* help_ = nullptr;
};

}  // namespace torvic::qt
