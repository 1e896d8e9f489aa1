#pragma once
// The Qt views of the installer: the window `Instalar` and the directory
// picker `frmDirectori`.
#include <QDialog>
#include <QWidget>

#include "setup/folder_picker.h"
#include "setup/installer.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace torvic::setup::qt {

class InstallerQt : public QWidget, public InstallerView {
public:
    InstallerQt();
    void attach(InstallerPresenter* behaviour) { instalar_ = behaviour; }

    std::string text1() override;
    void setText1(const std::string& text) override;
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void setNotes(const std::string& libraries, const std::string& uninstalling) override;
    void openManual(const std::string& dir) override;
    void endProgram() override;

private:
    InstallerPresenter* instalar_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLabel *librariesNote_ = nullptr, *uninstallNote_ = nullptr;
};

class FolderPickerQt : public FolderPickerView {
public:
    void attach(FolderPickerPresenter* behaviour) { directori_ = behaviour; }
    void showModal() override;
    void close() override;
    std::string openDirectory() override { return open_; }

private:
    void openFolder(const QString& path);
    FolderPickerPresenter* directori_ = nullptr;
    QDialog* dialog_ = nullptr;
    QListWidget* dir1_ = nullptr;
    std::string open_;
};

}  // namespace torvic::setup::qt
