#include "editor/qt/replace_dialog_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "editor/qt/qt_text.h"

namespace torvic::qt {
namespace {

// A dialog on which Enter and Esc do nothing special; only its close box
// closes it without a button.
class PlainKeysDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            e->accept();
            return;
        }
        QDialog::keyPressEvent(e);
    }
};

}  // namespace

// A dialog on which Enter and Esc do nothing special, with the design's
// controls at their design places.
class SubstituirDialog : public PlainKeysDialog {
public:
    explicit SubstituirDialog(QWidget* parent, ReplaceDialogPresenter* const* presenter) : PlainKeysDialog(parent) {
        const Form<ReplaceDialogPresenter>& form = replaceDialogForm();
        setWindowTitle(QString::fromUtf8(form.title));
        setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        setFixedSize(formSize(form));
        const FormWidgets w = buildForm(this, form, presenter);
        text1 = w.get<QLineEdit>("Text1");
        text2 = w.get<QLineEdit>("Text2");
        text3 = w.get<QLineEdit>("Text3");
        check1 = w.get<QCheckBox>("Check1");
    }

    QLineEdit *text1, *text2, *text3;
    QCheckBox* check1;
};

QDialog* ReplaceDialogQt::dialog() const { return dialog_; }

void ReplaceDialogQt::showModal() {
    // Every opening starts from the design values.
    SubstituirDialog dialog(QApplication::activeWindow(), &substituir_);
    dialog_ = &dialog;
    substituir_->onActivate();
    dialog.text1->setFocus();
    if (onOpen) QTimer::singleShot(0, &dialog, [this, &dialog] { onOpen(&dialog); });
    dialog.exec();
    dialog_ = nullptr;
}

void ReplaceDialogQt::close() {
    if (dialog_) dialog_->done(0);
}

std::string ReplaceDialogQt::clipboardTextUtf8() { return QApplication::clipboard()->text().toStdString(); }

void ReplaceDialogQt::setFindTextUtf8(const std::string& text) {
    if (dialog_) dialog_->text1->setText(QString::fromStdString(text));
}

void ReplaceDialogQt::selectAllFindText() {
    if (dialog_) dialog_->text1->selectAll();
}

std::string ReplaceDialogQt::findTextUtf8() { return dialog_->text1->text().toStdString(); }
std::string ReplaceDialogQt::replacementTextUtf8() { return dialog_->text2->text().toStdString(); }
std::string ReplaceDialogQt::countText() { return toCp1252(dialog_->text3->text()); }
bool ReplaceDialogQt::onlyAfterCaret() { return dialog_->check1->isChecked(); }

}  // namespace torvic::qt
