#include "setup/qt/installer_qt.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QShortcut>
#include <QStorageInfo>
#include <QTimer>

#include "base/qt/form_qt.h"

namespace torvic::setup::qt {

using torvic::qt::buildForm;
using torvic::qt::formSize;
using torvic::qt::FormWidgets;

namespace {

QString utf8(const std::string& s) {
    QString t = QString::fromStdString(s);
    t.replace("\r", "\n");
    return t;
}

}  // namespace

InstallerQt::InstallerQt() {
    const Form<InstallerPresenter>& form = installerForm();
    setWindowTitle(QString::fromUtf8(form.title));
    setFixedSize(formSize(form));
    const FormWidgets w = buildForm(this, form, &instalar_);
    text1_ = w.get<QLineEdit>("Text1");
    librariesNote_ = w.get<QLabel>("Label2");
    uninstallNote_ = w.get<QLabel>("Label3");
    // Enter is "Sí" (the default button), Esc is "No".
    auto* enter = new QShortcut(QKeySequence(Qt::Key_Return), this);
    connect(enter, &QShortcut::activated, this, [this] { instalar_->onInstall(); });
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] { instalar_->onCancel(); });
}

std::string InstallerQt::text1() { return text1_->text().toStdString(); }
void InstallerQt::setText1(const std::string& text) { text1_->setText(QString::fromStdString(text)); }

void InstallerQt::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(this);
    box.setWindowTitle(utf8(title));
    box.setText(utf8(text));
    box.setIcon(icon == MessageIcon::Information   ? QMessageBox::Information
                : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                : icon == MessageIcon::Critical    ? QMessageBox::Critical
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
                   "Apendre les comandes:", MessageIcon::Critical);
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
    const Form<FolderPickerPresenter>& form = folderPickerForm();
    dialog.setWindowTitle(QString::fromUtf8(form.title));
    dialog.setFixedSize(formSize(form));
    const FormWidgets w = buildForm(&dialog, form, &directori_);
    dir1_ = w.get<QListWidget>("Dir1");
    auto* drive1 = w.get<QComboBox>("Drive1");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) drive1->addItem(volume.rootPath());
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
