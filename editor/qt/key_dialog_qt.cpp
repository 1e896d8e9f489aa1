#include "editor/qt/key_dialog_qt.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "editor/qt/qt_text.h"

namespace torvic::qt {

void KeyDialogQt::showModal() {
    // Made afresh on each use: the key box is empty every time.
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle("Codificar / Descodificar");
    dialog.setFont(proportionalFont(8.25));
    dialog.setFixedSize(330, 110);
    auto* label = new QLabel(QString::fromUtf8("Clau de codificació"), &dialog);
    label->setGeometry(12, 10, 306, 18);
    auto* key = new QLineEdit(&dialog);
    key->setObjectName("Text1");
    key->setMaxLength(225);
    key->setGeometry(12, 30, 306, 22);
    struct Button {
        const char* name;
        const char* caption;
        int x;
        void (KeyDialogPresenter::*handler)();
    };
    for (const Button& b : {Button{"Command1", "Codificar", 12, &KeyDialogPresenter::onEncode},
                            Button{"Command2", "Descodificar", 116, &KeyDialogPresenter::onDecode},
                            Button{"Command3", "Cancelar", 220, &KeyDialogPresenter::onCancel}}) {
        auto* button = new QPushButton(b.caption, &dialog);
        button->setObjectName(b.name);
        button->setAutoDefault(false);  // no default button: Enter chooses nothing
        button->setGeometry(b.x, 70, 98, 28);
        QObject::connect(button, &QPushButton::clicked, &dialog, [this, h = b.handler] { (codificacio_->*h)(); });
    }
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

std::string KeyDialogQt::keyText() { return key_ ? toCp1252(key_->text()) : std::string(); }

}  // namespace torvic::qt
