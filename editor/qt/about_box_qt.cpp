#include "editor/qt/about_box_qt.h"

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

void AboutBoxQt::showModal() {
    QDialog dialog(QApplication::activeWindow(), Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setWindowTitle(fromCp1252(caption_));
    dialog.setFixedSize(twipsToPixels(6795), twipsToPixels(3990));
    dialog.setFont(proportionalFont(8.25));
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    icon->setGeometry(twips(480, 240, 540, 540));
    auto* title = new QLabel(fromCp1252(title_), &dialog);
    title->setObjectName("lblTitle");
    title->setFont(proportionalFont(24, true));
    title->setGeometry(twips(1320, 200, 3165, 560));  // room for the 24 pt line
    auto* version = new QLabel(fromCp1252(version_), &dialog);
    version->setObjectName("lblVersion");
    version->setFont(proportionalFont(8.25, true));
    version->setGeometry(twips(3360, 480, 2685, 225));
    auto* descriptionLabel = new QLabel(QString::fromUtf8("Descripció de l'aplicació:"), &dialog);
    descriptionLabel->setGeometry(twips(240, 960, 3885, 210));
    auto* text1 = new QPlainTextEdit(messageText(description_), &dialog);
    text1->setObjectName("Text1");
    text1->setReadOnly(true);
    text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1->setGeometry(twips(240, 1200, 6375, 1695));
    auto* line = new QFrame(&dialog);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(twips(240, 2985, 6375, 30));
    auto* notice = new QLabel(QString::fromUtf8("Advertència:"), &dialog);
    notice->setFont(proportionalFont(8.25, true));
    notice->setGeometry(twips(270, 3300, 1290, 255));
    // The notice starts with blanks so that its first line begins after "Advertència:".
    auto* disclaimer = new QLabel(fromCp1252(disclaimer_), &dialog);
    disclaimer->setObjectName("lblDisclaimer");
    disclaimer->setWordWrap(true);
    disclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    disclaimer->setGeometry(twips(240, 3300, 4335, 630));
    notice->raise();
    auto* ok = new QPushButton("Acceptar", &dialog);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    ok->setGeometry(twips(5160, 3120, 1500, 345));
    QObject::connect(ok, &QPushButton::clicked, &dialog, [this] { about_->onOk(); });
    auto* sysInfo = new QPushButton("&Info. del sistema...", &dialog);
    sysInfo->setObjectName("cmdSysInfo");
    sysInfo->setAutoDefault(false);
    sysInfo->setGeometry(twips(5160, 3555, 1485, 345));
    QObject::connect(sysInfo, &QPushButton::clicked, &dialog, [this] { about_->onSystemInfo(); });
    dialog_ = &dialog;  // Esc closes it too (the cancel button is "Acceptar")
    if (onOpen) QTimer::singleShot(0, &dialog, [this, &dialog] { onOpen(&dialog); });
    dialog.exec();
    dialog_ = nullptr;
}

void AboutBoxQt::close() {
    if (dialog_) dialog_->done(0);
}

void AboutBoxQt::messageBox(const std::string& text, const std::string& title) {
    QMessageBox box(dialog_);
    box.setWindowTitle(fromCp1252(title));
    box.setText(fromCp1252(text));
    box.setIcon(QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace torvic::qt
