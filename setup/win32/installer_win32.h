#pragma once
// The Win32 views of the installer: the window `Instalar` and the directory
// picker `frmDirectori`. Their texts are UTF-8; folder names pass through
// the system's wide API, so a name the code page lacks is kept.
#include <string>

#include "base/win32/form_win32.h"
#include "setup/folder_picker.h"
#include "setup/installer.h"

namespace torvic::setup::win32 {

class InstallerWin32 : public InstallerView {
public:
    InstallerWin32();
    void attach(InstallerPresenter* behaviour) { instalar_ = behaviour; }
    HWND hwnd() const { return window_.hwnd(); }
    void show();

    std::string text1() override;
    void setText1(const std::string& text) override;
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void setNotes(const std::string& libraries, const std::string& uninstalling) override;
    void openManual(const std::string& dir) override;
    void endProgram() override;

private:
    InstallerPresenter* instalar_ = nullptr;
    torvic::win32::FormWindow window_;
};

class FolderPickerWin32 : public FolderPickerView {
public:
    void attach(FolderPickerPresenter* behaviour) { directori_ = behaviour; }
    void showModal() override;
    void close() override { window_.endModal(); }
    std::string openDirectory() override { return open_; }

private:
    // Shows `path` in Dir1: itself, its parent "..", its folders. A folder
    // that cannot be read leaves the list as it was.
    void openFolder(const std::wstring& path);
    FolderPickerPresenter* directori_ = nullptr;
    torvic::win32::FormWindow window_;
    HWND dir1_ = nullptr;  // Dir1, a Unicode control
    std::string open_;
};

}  // namespace torvic::setup::win32
