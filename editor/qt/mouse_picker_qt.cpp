#include "editor/qt/mouse_picker_qt.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "editor/qt/qt_text.h"

namespace torvic::qt {

// Esc is "Tornar" (hide, stay loaded); the close box unloads the window.
class MouseDialog : public QDialog {
public:
    explicit MouseDialog(MousePickerPresenter* behaviour) : mouse_(behaviour) {
        setWindowTitle(QString::fromUtf8("Posició del Ratolí"));
        setFont(proportionalFont(8.25));
        setFixedSize(250, 150);
        setAttribute(Qt::WA_DeleteOnClose);
        auto* fixar = new QPushButton(QString::fromUtf8("Fixar posició"), this);
        fixar->setObjectName("Command2");
        fixar->setDefault(true);
        fixar->setGeometry(146, 20, 94, 28);
        auto* tornar = new QPushButton("Tornar", this);
        tornar->setObjectName("Command1");
        tornar->setAutoDefault(false);
        tornar->setGeometry(146, 60, 94, 28);
        connect(fixar, &QPushButton::clicked, this, [this] { mouse_->onFixPosition(); });
        connect(tornar, &QPushButton::clicked, this, [this] { mouse_->onBack(); });
        text1 = coordinate("Cordenada X:", 8, "Text1", "Label1", label1);
        text2 = coordinate("Ordenada Y:", 76, "Text2", "Label2", label2);
        timer1 = new QTimer(this);
        connect(timer1, &QTimer::timeout, this, [this] { mouse_->onTick(); });
    }

    QLineEdit *text1 = nullptr, *text2 = nullptr;
    QLabel *label1 = nullptr, *label2 = nullptr;
    QTimer* timer1 = nullptr;

protected:
    void reject() override { mouse_->onBack(); }
    void closeEvent(QCloseEvent* e) override {
        mouse_->onClose();
        e->accept();  // unloaded (WA_DeleteOnClose): the next showing starts afresh
    }

private:
    QLineEdit* coordinate(const char* caption, int top, const char* textName, const char* labelName, QLabel*& label) {
        auto* box = new QGroupBox(caption, this);
        box->setGeometry(8, top, 128, 62);
        auto* text = new QLineEdit("0", box);
        text->setObjectName(textName);
        text->setGeometry(8, 24, 60, 24);
        label = new QLabel(box);
        label->setObjectName(labelName);
        label->setGeometry(74, 24, 50, 24);
        return text;
    }
    MousePickerPresenter* mouse_;
};

MousePickerQt::~MousePickerQt() { delete window_; }

QDialog* MousePickerQt::window() const { return window_; }

void MousePickerQt::show() {
    if (!window_) window_ = new MouseDialog(mouse_);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void MousePickerQt::hide() {
    if (window_) window_->hide();
}

void MousePickerQt::startTimer1(int intervalMs) {
    if (window_) window_->timer1->start(intervalMs);
}

void MousePickerQt::stopTimer1() {
    if (window_) window_->timer1->stop();
}

std::string MousePickerQt::text1() { return window_ ? toCp1252(window_->text1->text()) : "0"; }
std::string MousePickerQt::text2() { return window_ ? toCp1252(window_->text2->text()) : "0"; }

void MousePickerQt::setLabels(const std::string& x, const std::string& y) {
    if (!window_) return;
    window_->label1->setText(QString::fromStdString(x));
    window_->label2->setText(QString::fromStdString(y));
}

void MousePickerQt::messageBox(const std::string& text, const std::string& title) {
    QMessageBox::warning(window_, fromCp1252(title), fromCp1252(text));
}

}  // namespace torvic::qt
