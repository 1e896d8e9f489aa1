#include "editor/qt/main_window_qt.h"

#include <QApplication>

#include <algorithm>
#include <QCloseEvent>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolTip>

#include "base/cp1252.h"
#include "base/qt/qt_common.h"
#include "base/text_encoding.h"
#include "editor/main_window_form.h"
#include "editor/qt/qt_text.h"

namespace torvic::qt {
namespace {

// The dialog filter "description|pattern|..." in Qt's form; the patterns
// themselves are not shown, so the descriptions read as designed.
QString qtFilter(const std::string& filter) {
    QStringList parts = fromCp1252(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i] + " (" + parts[i + 1] + ")";
    return out.join(";;");
}

// Whether Qt makes its icons StatusNotifierItems: a watcher on the session
// bus says a host (a panel) shows them.
bool statusNotifierHostRunning() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")))
        return false;
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

}  // namespace

MainWindowQt::MainWindowQt() {
    setWindowIcon(torvicIcon());
    auto* central = new QWidget(this);
    setCentralWidget(central);
    buildControls();
    buildMenus();
    resize(kDesignClientWidth, kDesignClientHeight + menuBar()->sizeHint().height());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    runTimer_ = new QTimer(this);
    runTimer_->setSingleShot(true);
    runTimer_->setTimerType(Qt::PreciseTimer);
    connect(runTimer_, &QTimer::timeout, this, [this] { torvic_->onRunTimer(); });

    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { torvic_->onRecoveryTimer(); });

    centralWidget()->installEventFilter(this);
    const Rect smallest = minimumClientSize();
    centralWidget()->setMinimumSize(smallest.width, smallest.height);
    statusBar()->hide();
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (!message.isEmpty() || statusBar()->isHidden()) return;
        statusBar()->hide();
        // Shrinks back by what it grew, unless the desktop has sized it since
        // (a window it holds at the screen's size would refuse, and the line
        // left below would never be repainted): then the client area has it.
        if (statusGrowth_ && height() == statusGrownHeight_ && !isMaximized() && !isFullScreen())
            resize(width(), height() - statusGrowth_);
        statusGrowth_ = 0;
    });

    // Esc presses the out-of-sight "End" button, wherever the focus is.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WindowShortcut);
    connect(esc, &QShortcut::activated, this, [this] { torvic_->onEnd(); });
}

MainWindowQt::~MainWindowQt() = default;

void MainWindowQt::buildControls() {
    controls_ = buildForm(centralWidget(), mainWindowForm(), &torvic_, [this](ControlKind kind, const char*, QWidget* parent) -> QWidget* {
        return kind == ControlKind::Editor ? (text1_ = new EditorBox(parent)) : nullptr;
    });

    text2_ = controls_.get<QLineEdit>("Text2");
    connect(text2_, &QLineEdit::returnPressed, this, [this] { torvic_->onFileNameKeyPress(13); });

    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setFont(fixedFont(9.75));
    text1_->isMenuShortcut = [this](const QKeySequence& seq) {
        for (auto& [name, action] : items_)
            if (!action->shortcut().isEmpty() && action->shortcut() == seq) return true;
        return false;
    };
    text1_->onKeyUp = [this] { torvic_->onEditorKeyUp(); };
    text1_->setClassifier([](std::string_view line) { return lineKind(line); });
    text1_->onTextChanged = [this] {
        if (torvic_) torvic_->onEditorChange();
    };
    text1_->onClick = [this] { torvic_->onEditorClick(); };

    text3_ = controls_.get<QLineEdit>("Text3");
    text3_->setFont(fixedFont(12));
    text4_ = controls_.get<QLineEdit>("Text4");
    highlightText4(false);
    label5_ = controls_.get<QLabel>("Label5");
    label6_ = controls_.get<QLabel>("Label6");
    labelFont_ = label5_->font();

    text1_->setFocus();
}

QAction* MainWindowQt::addItem(QMenu* menu, const std::string& name, const QString& caption,
                               const QKeySequence& shortcut, void (MainWindowPresenter::*handler)()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromStdString(name));
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    if (handler) connect(a, &QAction::triggered, this, [this, handler] { (torvic_->*handler)(); });
    items_[name] = a;
    return a;
}

void MainWindowQt::buildMenus() {
    for (const FormMenu& m : mainWindowMenus()) {
        // RCpopup, the icon's menu, is never in the menu bar.
        QMenu* menu = m.popup ? (rcPopup_ = new QMenu(QString::fromUtf8(m.caption), this))
                              : menuBar()->addMenu(QString::fromUtf8(m.caption));
        for (const FormMenuItem& item : m.items) {
            if (std::string_view(item.caption) == "-") {
                items_[item.name] = menu->addSeparator();
                continue;
            }
            QAction* a = addItem(menu, item.name, QString::fromUtf8(item.caption), QKeySequence(item.shortcut),
                                 item.handler);
            a->setCheckable(item.checkable);
            a->setChecked(item.checked);
        }
    }
}

QWidget* MainWindowQt::control(const std::string& name) const {
    return controls_.find(name);
}

QAction* MainWindowQt::menuItem(const std::string& name) const {
    auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

void MainWindowQt::closeEvent(QCloseEvent* event) {
    if (torvic_ && !torvic_->ended()) {
        event->ignore();
        torvic_->onEnd();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool MainWindowQt::eventFilter(QObject* watched, QEvent* event) {
    // The layout follows the client area, which also changes when the
    // status line comes and goes.
    if (watched == centralWidget() && event->type() == QEvent::Resize && torvic_)
        torvic_->onResize(centralWidget()->width(), centralWidget()->height());
    return QMainWindow::eventFilter(watched, event);
}

void MainWindowQt::setCaption(const std::string& text) { setWindowTitle(fromCp1252(text)); }

void MainWindowQt::setRunLineMark(int index) { text1_->markRunLine(index); }

std::string MainWindowQt::editorText() { return utf8To1252(text1_->script().text()); }

void MainWindowQt::setEditorText(const std::string& text) { text1_->setText(cp1252::toUtf8(text)); }

// A copy taken around the gap: moving the gap to the end would cost the next
// key a move of the whole text back.
std::string MainWindowQt::editorTextUtf8() { return text1_->script().slice(0, text1_->script().size()); }

void MainWindowQt::setEditorTextUtf8(std::string text) { text1_->setText(std::move(text)); }

void MainWindowQt::replaceEditorTextUtf8(const std::string& text) { text1_->replaceAll(text); }

std::size_t MainWindowQt::editorCaret() { return text1_->editing().caretCharacters(); }

MainWindowView::CaretLine MainWindowQt::editorCaretLine() {
    const ScriptEditing::CaretLine at = text1_->editing().caretLine();
    return {static_cast<int>(at.line), static_cast<int>(at.column), utf8To1252(at.text)};
}

bool MainWindowQt::editorHoldsAfterCaretLine(char c) {
    return text1_->editing().holdsAfterCaretLine(cp1252::toUtf8(std::string(1, c)));
}

std::optional<bool> MainWindowQt::editorModified() { return text1_->script().isModified(); }

void MainWindowQt::setEditorModified(bool modified) { text1_->script().setModified(modified); }

void MainWindowQt::setEditorTooltip(const std::string& text) {
    const QString hint = fromCp1252(text);
    text1_->setToolTip(hint);
    // A hint longer than Text4 can show stands whole under the caret's line
    // while the user types, without waiting for the pointer to hover.
    const int room = text4_->contentsRect().width() - 8;
    if (!hint.isEmpty() && text1_->isVisible() && text4_->fontMetrics().horizontalAdvance(hint) > room) {
        const QRect caret = text1_->cursorRect();
        QToolTip::showText(text1_->viewport()->mapToGlobal(caret.bottomLeft() + QPoint(0, 4)), hint, text1_);
    } else if (QToolTip::isVisible() && QToolTip::text() != hint) {
        QToolTip::hideText();
    }
}

void MainWindowQt::focusEditor() {
    activateWindow();
    text1_->setFocus();
}

std::string MainWindowQt::text2() { return toCp1252(text2_->text()); }
void MainWindowQt::setText2(const std::string& text) { text2_->setText(fromCp1252(text)); }
std::string MainWindowQt::text3() { return toCp1252(text3_->text()); }
void MainWindowQt::setText3(const std::string& text) { text3_->setText(fromCp1252(text)); }
void MainWindowQt::setText4(const std::string& text) {
    text4_->setText(fromCp1252(text));
    text4_->setCursorPosition(0);  // a long hint shows its start
}
void MainWindowQt::setText4Tooltip(const std::string& text) { text4_->setToolTip(fromCp1252(text)); }

void MainWindowQt::setText4Highlighted(bool lightYellow) { highlightText4(lightYellow); }

void MainWindowQt::highlightText4(bool lightYellow) {
    QPalette p = text4_->palette();
    p.setColor(QPalette::Base, lightYellow ? QColor(255, 255, 128) : QColor(Qt::white));
    text4_->setPalette(p);
}

void MainWindowQt::setCaretLabels(const std::string& line, const std::string& column) {
    // A number wider than its label (a line past a million) is written
    // smaller rather than running into the caption beside it.
    for (auto [label, text] : {std::pair{label5_, &line}, std::pair{label6_, &column}}) {
        const QString shown = QString::fromStdString(*text);
        QFont font = labelFont_;
        const int room = label->contentsRect().width();
        while (QFontMetrics(font).horizontalAdvance(shown) > room && font.pointSizeF() > 5)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        if (label->font() != font) label->setFont(font);
        label->setText(shown);
    }
}

void MainWindowQt::setRunButtonsEnabled(bool enabled) {
    for (const char* name : {"Command3", "Command8", "Command9"}) controls_.find(name)->setEnabled(enabled);
}

void MainWindowQt::repaintNow() {
    text3_->repaint();
    text4_->repaint();
}

void MainWindowQt::handlePendingInput() { QCoreApplication::processEvents(); }

void MainWindowQt::applyLayout(const std::vector<LayoutStep>& steps) {
    for (const LayoutStep& s : steps) {
        QWidget* w = control(s.control);
        if (!w) continue;
        QRect g = w->geometry();
        switch (s.property) {
            case LayoutStep::Left: g.moveLeft(s.pixels); break;
            case LayoutStep::Top: g.moveTop(s.pixels); break;
            case LayoutStep::Width: g.setWidth(s.pixels); break;
            case LayoutStep::Height: g.setHeight(s.pixels); break;
        }
        w->setGeometry(g);
    }
}

void MainWindowQt::moveEndButtonOutOfSight() {
    QWidget* end = control("Command5");
    end->move(end->x(), -20);
}

void MainWindowQt::startRunTimer(int intervalMs) { runTimer_->start(intervalMs); }

void MainWindowQt::stopRunTimer() { runTimer_->stop(); }

long long MainWindowQt::steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {
QMessageBox::Icon boxIcon(MessageIcon icon) {
    return icon == MessageIcon::Information   ? QMessageBox::Information
           : icon == MessageIcon::Exclamation ? QMessageBox::Warning
           : icon == MessageIcon::Critical    ? QMessageBox::Critical
                                              : QMessageBox::NoIcon;
}
}  // namespace

void MainWindowQt::messageBox(const std::string& text, const std::string& title, MessageIcon icon,
                              bool systemModal) {
    QMessageBox box(isVisible() ? this : nullptr);
    box.setWindowTitle(fromCp1252(title));
    box.setText(messageText(text));
    box.setIcon(boxIcon(icon));
    box.setStandardButtons(QMessageBox::Ok);
    if (systemModal) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

bool MainWindowQt::askYesNo(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(isVisible() ? this : nullptr);
    box.setWindowTitle(fromCp1252(title));
    box.setText(messageText(text));
    box.setIcon(boxIcon(icon));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

SaveChoice MainWindowQt::askSaveChanges(const std::string& text, const std::string& title) {
    QMessageBox box(isVisible() ? this : nullptr);
    box.setWindowTitle(fromCp1252(title));
    box.setText(messageText(text));
    box.setIcon(QMessageBox::Question);
    QPushButton* save = box.addButton("Guardar", QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton("No guardar", QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QString::fromUtf8("Cancel·lar"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveChoice::Save;
    if (box.clickedButton() == discard) return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

int MainWindowQt::askChoice(const std::string& text, const std::string& title, const std::vector<std::string>& buttons,
                            int defaultButton) {
    QMessageBox box(isVisible() ? this : nullptr);
    box.setWindowTitle(fromCp1252(title));
    box.setText(messageText(text));
    box.setIcon(QMessageBox::Question);
    std::vector<QPushButton*> added;
    for (const std::string& caption : buttons) added.push_back(box.addButton(fromCp1252(caption), QMessageBox::ActionRole));
    if (added.empty()) return -1;
    box.setDefaultButton(added.at(static_cast<std::size_t>(std::clamp<int>(defaultButton, 0, static_cast<int>(added.size()) - 1))));
    box.setEscapeButton(added.back());
    box.exec();
    const auto chosen = std::find(added.begin(), added.end(), box.clickedButton());
    return chosen == added.end() ? static_cast<int>(added.size()) - 1 : static_cast<int>(chosen - added.begin());
}

void MainWindowQt::startRecoveryTimer(int intervalMs) { recoveryTimer_->start(intervalMs); }

void MainWindowQt::openInNewWindow(const std::string& systemFile) {
    QProcess::startDetached(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("/nou"), QString::fromStdString(systemFile)});
}

std::string MainWindowQt::openFileDialog(const std::string& startDirectory, const std::string& fileName,
                                         const std::string& filter) {
    QFileDialog dialog(this, QString(), QString::fromStdString(startDirectory), qtFilter(filter));
    dialog.setOptions(QFileDialog::HideNameFilterDetails | QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.resize(760, 460);  // room for the Catalan column headings
    if (!fileName.empty()) dialog.selectFile(QString::fromStdString(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    return dialog.selectedFiles().first().toStdString();
}

std::string MainWindowQt::saveFileDialog(const std::string& startDirectory, const std::string& fileName,
                                         const std::string& filter) {
    QFileDialog dialog(this, QString(), QString::fromStdString(startDirectory), qtFilter(filter));
    dialog.setOptions(QFileDialog::HideNameFilterDetails | QFileDialog::DontUseNativeDialog |
                      QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.resize(760, 460);
    if (!fileName.empty()) dialog.selectFile(QString::fromStdString(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    return dialog.selectedFiles().first().toStdString();
}

bool MainWindowQt::showNotificationIcon(const std::string& tooltip) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    if (!tray_) {
        tray_ = new QSystemTrayIcon(windowIcon(), this);
        // The right button opens RCpopup, a left double click brings the
        // window back. A StatusNotifierItem's panel gives the activation as
        // one trigger, never a double click: there the trigger is the
        // activation.
        tray_->setContextMenu(rcPopup_);
        const bool oneClickActivates = statusNotifierHostRunning();
        connect(tray_, &QSystemTrayIcon::activated, this, [this, oneClickActivates](QSystemTrayIcon::ActivationReason r) {
            if (r == QSystemTrayIcon::DoubleClick || (oneClickActivates && r == QSystemTrayIcon::Trigger))
                torvic_->iconDoubleClicked();
        });
    }
    tray_->setToolTip(fromCp1252(tooltip));
    tray_->show();
    return true;
}

void MainWindowQt::showManual(const std::string& htmlUtf8, bool print) {
    if (!help_) help_ = new HelpWindowQt(this);
    help_->showHtml(QString::fromUtf8(htmlUtf8));
    if (print) help_->print();
}

void MainWindowQt::showStatus(const std::string& text) {
    // Below the client area, which keeps its size (the window grows by the
    // line), and gone after a while (the window shrinks back).
    // A window that would no longer fit the screen keeps its size: the line
    // is taken from the client area.
    QStatusBar* bar = statusBar();
    if (bar->isHidden()) {
        bar->show();
        const int line = bar->sizeHint().height();
        const QScreen* where = screen();
        if (!isMaximized() && !isFullScreen() &&
            (!where || frameGeometry().bottom() + line <= where->availableGeometry().bottom())) {
            statusGrowth_ = line;
            resize(width(), height() + line);
            statusGrownHeight_ = height();
        }
    }
    bar->showMessage(fromCp1252(text), statusMilliseconds);
}

void MainWindowQt::clearStatus() {
    // An empty message hides the line (see the constructor).
    if (!statusBar()->isHidden()) statusBar()->clearMessage();
}

void MainWindowQt::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Back at the front: asked once the activation is over, so that its own
    // question does not come in the middle of it.
    if (event->type() == QEvent::ActivationChange && torvic_ && isActiveWindow())
        QTimer::singleShot(0, this, [this] {
            if (isActiveWindow()) torvic_->onWindowActivated();
        });
    if (event->type() != QEvent::WindowStateChange || !torvic_) return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !(windowState() & Qt::WindowMinimized))
        torvic_->restoreFromNotificationArea();
}

void MainWindowQt::setTrayChecks(bool aturat, bool executant) {
    items_.at("RCPopup_Aturat")->setChecked(aturat);
    items_.at("RCPopup_Executant")->setChecked(executant);
}

void MainWindowQt::removeNotificationIcon() {
    if (tray_) tray_->hide();
}

void MainWindowQt::endProgram() {
    if (endHook) {
        endHook();
        return;
    }
    // Posted, so that it also ends a program whose event loop has not started.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

}  // namespace torvic::qt
