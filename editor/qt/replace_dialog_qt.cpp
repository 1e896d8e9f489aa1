#include "editor/qt/replace_dialog_qt.h"

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
    explicit SubstituirDialog(QWidget* parent) : PlainKeysDialog(parent) {
        setWindowTitle("Substituir");
        setFont(proportionalFont(8.25));  // the design's size, so every caption fits
        setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        setFixedSize(twipsToPixels(7185), twipsToPixels(1935));
        (new QLabel("Buscar:", this))->setGeometry(twips(150, 300, 675, 255));
        text1->setObjectName("Text1");
        text1->setGeometry(twips(825, 240, 6120, 285));
        (new QLabel("Substituir", this))->setGeometry(twips(90, 900, 840, 255));
        text2->setObjectName("Text2");
        text2->setGeometry(twips(825, 855, 6135, 285));
        command1->setObjectName("Command1");
        command1->setAutoDefault(false);
        command1->setDefault(false);
        command1->setGeometry(twips(5835, 1485, 1185, 390));
        (new QLabel(QString::fromUtf8("Num. màxim\nsubstitucions"), this))->setGeometry(twips(60, 1410, 1005, 390));  // up to the count field, so both lines fit
        text3->setObjectName("Text3");
        text3->setAlignment(Qt::AlignRight);
        text3->setGeometry(twips(1080, 1485, 615, 285));
        check1->setObjectName("Check1");
        check1->setGeometry(twips(2265, 1470, 3240, 300));
        QWidget::setTabOrder(text1, text2);
        QWidget::setTabOrder(text2, command1);
        QWidget::setTabOrder(command1, text3);
        QWidget::setTabOrder(text3, check1);
    }

    QLineEdit* text1 = new QLineEdit(this);
    QLineEdit* text2 = new QLineEdit(this);
    QPushButton* command1 = new QPushButton("Substituir", this);
    QLineEdit* text3 = new QLineEdit("-1", this);
    QCheckBox* check1 = new QCheckBox(QString::fromUtf8("Només a partir de la posició actual"), this);
};

QDialog* ReplaceDialogQt::dialog() const { return dialog_; }

void ReplaceDialogQt::showModal() {
    // Every opening starts from the design values.
    SubstituirDialog dialog(QApplication::activeWindow());
    dialog_ = &dialog;
    QObject::connect(dialog.command1, &QPushButton::clicked, &dialog, [this] { substituir_->onReplace(); });
    substituir_->onActivate();
    dialog.text1->setFocus();
    if (onOpen) QTimer::singleShot(0, &dialog, [this, &dialog] { onOpen(&dialog); });
    dialog.exec();
    dialog_ = nullptr;
}

void ReplaceDialogQt::close() {
    if (dialog_) dialog_->done(0);
}

std::string ReplaceDialogQt::clipboardText() { return toCp1252(QApplication::clipboard()->text()); }

void ReplaceDialogQt::setFindText(const std::string& text) {
    if (dialog_) dialog_->text1->setText(fromCp1252(text));
}

void ReplaceDialogQt::selectAllFindText() {
    if (dialog_) dialog_->text1->selectAll();
}

std::string ReplaceDialogQt::findText() { return toCp1252(dialog_->text1->text()); }
std::string ReplaceDialogQt::replacementText() { return toCp1252(dialog_->text2->text()); }
std::string ReplaceDialogQt::countText() { return toCp1252(dialog_->text3->text()); }
bool ReplaceDialogQt::onlyAfterCaret() { return dialog_->check1->isChecked(); }

}  // namespace torvic::qt
