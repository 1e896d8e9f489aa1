#include "editor/qt/about_box_qt.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include "base/qt/qt_common.h"
#include "editor/qt/qt_text.h"

namespace torvic::qt {

void AboutBoxQt::showModal() {
    QDialog dialog(QApplication::activeWindow(), Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    const Form<AboutBoxPresenter>& form = aboutBoxForm();
    dialog.setWindowTitle(fromCp1252(caption_));
    dialog.setFixedSize(formSize(form));
    const FormWidgets w = buildForm(&dialog, form, &about_);
    w.get<QLabel>("lblTitle")->setText(fromCp1252(title_));
    w.get<QLabel>("lblVersion")->setText(fromCp1252(version_));
    w.get<QLabel>("lblDisclaimer")->setText(fromCp1252(disclaimer_));
    auto* text1 = w.get<QPlainTextEdit>("Text1");
    text1->setPlainText(messageText(description_));
    text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    dialog_ = &dialog;  // Esc closes it too (the cancel button is "Acceptar")
    if (onOpen) QTimer::singleShot(0, &dialog, [this, &dialog] { onOpen(&dialog); });
    dialog.exec();
    dialog_ = nullptr;
}

void AboutBoxQt::close() {
    if (dialog_) dialog_->done(0);
}

void AboutBoxQt::messageBox(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, fromCp1252(title), fromCp1252(text), QMessageBox::Ok);
    execOverDialog(box, dialog_);
}

}  // namespace torvic::qt
