#include "editor/qt/key_dialog_qt.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>

#include "editor/qt/qt_text.h"

namespace torvic::qt {

void KeyDialogQt::showModal() {
    // Made afresh on each use: the key box is empty every time.
    QDialog dialog(QApplication::activeWindow());
    const Form<KeyDialogPresenter>& form = keyDialogForm();
    dialog.setWindowTitle(QString::fromUtf8(form.title));
    dialog.setFixedSize(formSize(form));
    auto* key = buildForm(&dialog, form, &codificacio_).get<QLineEdit>("Text1");
    key->setMaxLength(225);
    // Esc is "Cancelar" (QDialog's own Esc would close without it).
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), &dialog);
    QObject::connect(esc, &QShortcut::activated, &dialog, [this] { codificacio_->onCancel(); });
    dialog_ = &dialog;
    key_ = key;
    key->setFocus();
    if (onOpen) QTimer::singleShot(0, &dialog, [this, &dialog] { onOpen(&dialog); });
    dialog.exec();
    dialog_ = nullptr;
    key_ = nullptr;
}

void KeyDialogQt::close() {
    if (dialog_) dialog_->done(0);
}

std::string KeyDialogQt::keyTextUtf8() { return key_ ? key_->text().toStdString() : std::string(); }

}  // namespace torvic::qt
