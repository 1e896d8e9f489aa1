#include "setup/qt/installer_qt.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QStorageInfo>
#include <QTimer>

namespace torvic::setup::qt {
namespace {

QString utf8(const std::string& s) {
    QString t = QString::fromStdString(s);
    t.replace("\r", "\n");
    return t;
}

}  // namespace

InstallerQt::InstallerQt() {
    setWindowTitle(QString::fromUtf8("Instal·lació de Torvic XP:"));
    setFixedSize(430, 250);
    auto* title = new QLabel("Torvic XP  1.10", this);
    QFont big = title->font();
    big.setPointSize(18);
    big.setBold(true);
    title->setFont(big);
    title->setGeometry(16, 10, 400, 34);
    (new QLabel(QString::fromUtf8("Voleu instal·lar el programa Torvic ?"), this))->setGeometry(16, 50, 400, 20);
    librariesNote_ = new QLabel(this);
    librariesNote_->setObjectName("Label3");
    librariesNote_->setGeometry(16, 72, 410, 20);
    uninstallNote_ = new QLabel(this);
    uninstallNote_->setObjectName("Label4");
    uninstallNote_->setGeometry(16, 94, 410, 20);
    auto* group = new QGroupBox(QString::fromUtf8("Directori d'instal·lació:"), this);
    group->setGeometry(10, 120, 410, 60);
    text1_ = new QLineEdit(group);
    text1_->setObjectName("Text1");
    text1_->setGeometry(10, 24, 350, 24);
    auto* browse = new QPushButton("...", group);
    browse->setObjectName("Command4");
    browse->setGeometry(366, 24, 34, 24);
    connect(browse, &QPushButton::clicked, this, [this] { instalar_->onBrowse(*picker_); });
    struct Button {
        const char* name;
        const char* caption;
        int x;
        void (InstallerPresenter::*handler)();
    };
    for (const Button& b : {Button{"Command1", "Sí", 10, &InstallerPresenter::onInstall},
                            Button{"Command2", "No", 120, &InstallerPresenter::onCancel},
                            Button{"Command3", "Info.", 330, &InstallerPresenter::onInfo}}) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(b.name);
        button->setGeometry(b.x, 200, 90, 30);
        connect(button, &QPushButton::clicked, this, [this, h = b.handler] { (instalar_->*h)(); });
        if (std::string(b.name) == "Command1") button->setDefault(true);
    }
    // Enter is "Sí" (the default button), Esc is "No".
    auto* enter = new QShortcut(QKeySequence(Qt::Key_Return), this);
    connect(enter, &QShortcut::activated, this, [this] { instalar_->onInstall(); });
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] { instalar_->onCancel(); });
}

std::string InstallerQt::text1() { return text1_->text().toStdString(); }
void InstallerQt::setText1(const std::string& text) { text1_->setText(QString::fromStdString(text)); }

void InstallerQt::messageBox(const std::string& text, const std::string& title, BoxIcon icon) {
    QMessageBox box(this);
    box.setWindowTitle(utf8(title));
    box.setText(utf8(text));
    box.setIcon(icon == BoxIcon::Information ? QMessageBox::Information
                : icon == BoxIcon::Critical  ? QMessageBox::Critical
                                             : QMessageBox::NoIcon);
    box.exec();
}

bool InstallerQt::askYesNo(const std::string& text, const std::string& title) {
    QMessageBox box(this);
    box.setWindowTitle(utf8(title));
    box.setText(utf8(text));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void InstallerQt::setNotes(const std::string& libraries, const std::string& uninstalling) {
    librariesNote_->setText(utf8(libraries));
    uninstallNote_->setText(utf8(uninstalling));
}

void InstallerQt::openManual(const std::string& dir) {
    // The installed editor shows it in its help window: no viewer needed.
    if (!QProcess::startDetached(QString::fromStdString(dir + "torvic"), {"/manual"}))
        messageBox("No s'ha pogut mostrar el manual: el programa " + dir + "torvic no s'ha pogut engegar.",
                   "Apendre les comandes:", BoxIcon::Critical);
}

void InstallerQt::endProgram() {
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

void FolderPickerQt::openFolder(const QString& path) {
    QDir dir(path);
    if (!dir.exists()) return;  // a drive that cannot be read: the list stays where it was
    open_ = dir.absolutePath().toStdString();
    dir1_->clear();
    dir1_->addItem(dir.absolutePath());
    if (!dir.isRoot()) dir1_->addItem("..");
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) dir1_->addItem(name);
}

void FolderPickerQt::showModal() {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle("Seleccionar Directori:");
    dialog.setFixedSize(330, 300);
    auto* cancel = new QPushButton(QString::fromUtf8("Cancel·lar"), &dialog);
    cancel->setObjectName("Command2");
    cancel->setGeometry(220, 56, 100, 28);
    auto* accept = new QPushButton("Acceptar", &dialog);
    accept->setObjectName("Command1");
    accept->setDefault(true);
    accept->setGeometry(220, 16, 100, 28);
    dir1_ = new QListWidget(&dialog);
    dir1_->setObjectName("Dir1");
    dir1_->setGeometry(10, 16, 200, 236);
    auto* drive1 = new QComboBox(&dialog);
    drive1->setObjectName("Drive1");
    drive1->setGeometry(10, 262, 200, 26);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) drive1->addItem(volume.rootPath());
    QObject::connect(accept, &QPushButton::clicked, &dialog, [this] { directori_->onAccept(); });
    QObject::connect(cancel, &QPushButton::clicked, &dialog, [this] { directori_->onCancel(); });
    QObject::connect(drive1, &QComboBox::textActivated, &dialog, [this](const QString& root) { openFolder(root); });
    QObject::connect(dir1_, &QListWidget::itemDoubleClicked, &dialog, [this](QListWidgetItem* item) {
        if (dir1_->row(item) == 0) return;
        openFolder(QDir(QString::fromStdString(open_)).absoluteFilePath(item->text()));
    });
    dialog_ = &dialog;
    openFolder(QDir::currentPath());
    dialog.exec();
    dialog_ = nullptr;
}

void FolderPickerQt::close() {
    if (dialog_) dialog_->done(0);
}

}  // namespace torvic::setup::qt
