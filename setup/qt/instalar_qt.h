#pragma once
// The Qt views of the installer: the window `Instalar` and the directory
// picker `frmDirectori`.
#include <QDialog>
#include <QWidget>

#include "setup/frm_directori.h"
#include "setup/instalar.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace torvic::setup::qt {

class InstalarQt : public QWidget, public InstalarView {
public:
    InstalarQt();
    void attach(Instalar* behaviour, FrmDirectori* picker) {
        instalar_ = behaviour;
        picker_ = picker;
    }

    std::string text1() override;
    void setText1(const std::string& text) override;
    void messageBox(const std::string& text, const std::string& title, BoxIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void setNotes(const std::string& libraries, const std::string& uninstalling) override;
    void openManual(const std::string& dir) override;
    void endProgram() override;

private:
    Instalar* instalar_ = nullptr;
    FrmDirectori* picker_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLabel *librariesNote_ = nullptr, *uninstallNote_ = nullptr;
};

class FrmDirectoriQt : public FrmDirectoriView {
public:
    void attach(FrmDirectori* behaviour) { directori_ = behaviour; }
    void showModal() override;
    void close() override;
    std::string openDirectory() override { return open_; }

private:
    void openFolder(const QString& path);
    FrmDirectori* directori_ = nullptr;
    QDialog* dialog_ = nullptr;
    QListWidget* dir1_ = nullptr;
    std::string open_;
};

}  // namespace torvic::setup::qt
