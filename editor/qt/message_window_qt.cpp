#include "editor/qt/message_window_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "base/qt/qt_common.h"
#include "editor/qt/qt_text.h"

namespace torvic::qt {

MessageWindowQt::MessageWindowQt() {
    setModal(true);
    const Form<MessageWindowPresenter>& form = messageWindowForm();
    setFixedSize(formSize(form));
    const FormWidgets w = buildForm(this, form, &missatge_);
    label1_ = w.get<QLabel>("Label1");
    label3_ = w.get<QLabel>("Label3");
    for (int i = 0; i < 4; ++i) buttons_[i] = w.get<QPushButton>("Command" + std::to_string(i + 1));
    check1_ = w.get<QCheckBox>("Check1");
    text1_ = w.get<QLineEdit>("Text1");
    text1_->setText(QDir::homePath() + "/errors.txt");
    timer1_ = new QTimer(this);
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, [this] { missatge_->onTick(); });
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
    QMessageBox box(QMessageBox::Information, "Torvic", fromCp1252(text), QMessageBox::Ok);
    execOverDialog(box, this);
}

void MessageWindowQt::beep() { QApplication::beep(); }

}  // namespace torvic::qt
