#include "editor/qt/mouse_picker_qt.h"

#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <utility>

#include "base/qt/qt_common.h"
#include "editor/qt/qt_text.h"

namespace torvic::qt {

// Esc is "Tornar" (hide, stay loaded); the close box unloads the window.
class MouseDialog : public QDialog {
public:
    explicit MouseDialog(MousePickerPresenter* behaviour) : mouse_(behaviour) {
        const Form<MousePickerPresenter>& form = mousePickerForm();
        setWindowTitle(QString::fromUtf8(form.title));
        setFixedSize(formSize(form));
        setAttribute(Qt::WA_DeleteOnClose);
        const FormWidgets w = buildForm(this, form, &mouse_);
        text1 = w.get<QLineEdit>("Text1");
        text2 = w.get<QLineEdit>("Text2");
        label1 = w.get<QLabel>("Label1");
        label2 = w.get<QLabel>("Label2");
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
    // A word that does not fit ("no disponible") goes on over a second
    // line, in the room the frame has below the label.
    for (const auto& [label, text] : {std::pair{window_->label1, &x}, std::pair{window_->label2, &y}}) {
        label->setText(fromCp1252(*text));
        label->setWordWrap(true);
        const int needed = label->heightForWidth(label->width());
        if (needed > label->height()) label->resize(label->width(), needed);
    }
}

void MousePickerQt::messageBox(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Warning, fromCp1252(title), fromCp1252(text), QMessageBox::Ok);
    execOverDialog(box, window_);
}

}  // namespace torvic::qt
