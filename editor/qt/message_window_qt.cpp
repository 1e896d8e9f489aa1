#include "editor/qt/message_window_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "editor/layout.h"
#include "editor/qt/qt_text.h"

namespace torvic::qt {

MessageWindowQt::MessageWindowQt() {
    setModal(true);
    setFixedSize(480, 250);
    label1_ = new QLabel(this);
    label1_->setGeometry(12, 10, 456, 130);
    label1_->setWordWrap(true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* label2 = new QLabel("Temps restant:", this);
    label2->setGeometry(12, 150, 100, 20);
    label3_ = new QLabel("Label3", this);
    label3_->setGeometry(115, 150, 60, 20);
    const char* captions[] = {"Acceptar", "Pausar", "Tancar", "Acceptar Tots"};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = new QPushButton(captions[i], this);
        buttons_[i]->setAutoDefault(false);
        buttons_[i]->setGeometry(12 + i * 117, 180, 110, 28);
    }
    check1_ = new QCheckBox("Exportar a Fitxer:", this);
    check1_->setGeometry(12, 216, 140, 24);
    text1_ = new QLineEdit(QDir::homePath() + "/errors.txt", this);
    text1_->setGeometry(155, 216, 313, 24);
    timer1_ = new QTimer(this);
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, [this] { missatge_->onTick(); });
    connect(buttons_[0], &QPushButton::clicked, this, [this] { missatge_->onAccept(); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { missatge_->onPauseOrContinue(); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { missatge_->onCloseProgram(); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { missatge_->onAcceptAll(); });
}

QPushButton* MessageWindowQt::button(int index) const { return buttons_[index - 1]; }

void MessageWindowQt::showModal() {
    activatedSinceShow_ = false;
    exec();
}

void MessageWindowQt::close() { QDialog::done(0); }

void MessageWindowQt::reject() {
    if (missatge_) missatge_->onAccept();
    if (isVisible()) QDialog::reject();
}

bool MessageWindowQt::event(QEvent* e) {
    // Every activation repeats the showing steps.
    if (e->type() == QEvent::WindowActivate && missatge_) {
        activatedSinceShow_ = true;
        missatge_->onActivate();
    }
    return QDialog::event(e);
}

void MessageWindowQt::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    raise();
    activateWindow();
    // Where no window manager makes the dialog active, it is shown as if it were.
    QTimer::singleShot(300, this, [this] {
        if (isVisible() && !activatedSinceShow_ && missatge_) {
            activatedSinceShow_ = true;
            missatge_->onActivate();
        }
    });
}

void MessageWindowQt::setTitle(const std::string& text) { setWindowTitle(fromCp1252(text)); }
void MessageWindowQt::setMessage(const std::string& text) { label1_->setText(messageText(text)); }
void MessageWindowQt::setSecondsLeft(const std::string& text) { label3_->setText(QString::fromStdString(text)); }
void MessageWindowQt::setPauseCaption(const std::string& text) { buttons_[1]->setText(QString::fromStdString(text)); }
void MessageWindowQt::startTick() { timer1_->start(); }
void MessageWindowQt::stopTick() { timer1_->stop(); }
bool MessageWindowQt::exportChecked() { return check1_->isChecked(); }
std::string MessageWindowQt::exportFileName() { return toCp1252(text1_->text()); }

void MessageWindowQt::messageBox(const std::string& text) {
    QMessageBox::information(this, "Torvic", fromCp1252(text), QMessageBox::Ok);
}

void MessageWindowQt::beep() { QApplication::beep(); }

}  // namespace torvic::qt
