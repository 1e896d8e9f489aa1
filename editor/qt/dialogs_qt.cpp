#include "editor/qt/dialogs_qt.h"

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

QRect twips(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

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

// ---- frmMissatge ------------------------------------------------------------

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


// ---- frmSubstituir ------------------------------------------------------------

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

// ---- frmAbout ------------------------------------------------------------------

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
