#pragma once
// The installer window `Instalar`: its behaviour behind a view. The steps
// of "Sí" run in order; a failing Stop step shows the failure report and
// leaves what was done in place, a failing Ignored step is passed over.
#include <string>

#include "setup/folder_picker.h"

namespace torvic::setup {

enum class BoxIcon { None, Information, Critical };

class InstallerView {
public:
    virtual ~InstallerView() = default;
    virtual std::string text1() = 0;  // the installation directory (UTF-8)
    virtual void setText1(const std::string& text) = 0;
    virtual void messageBox(const std::string& text, const std::string& title, BoxIcon icon) = 0;
    virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
    // The two notes under the question: what the program installs besides
    // itself, and how it is uninstalled.
    virtual void setNotes(const std::string& libraries, const std::string& uninstalling) = 0;
    // Shows the manual of the installation in `dir` (ending with "/").
    virtual void openManual(const std::string& dir) = 0;
    virtual void endProgram() = 0;
};

// What the window says of the system it installs on.
struct SystemNotes {
    std::string libraries;     // the note on libraries
    std::string uninstalling;  // how to uninstall
    std::string sharedFiles;   // "Info.": the shared files the program needs
};

// Where an installation comes from and where the desktop keeps its parts.
struct InstallPlaces {
    std::string sourceDir;     // the installer's own folder: torvic, torvicrun, torvic.rtf
    std::string dataHome;      // $XDG_DATA_HOME
    std::string desktopDir;    // the quick-launch equivalent: the user's desktop folder
    std::string defaultDir;    // the proposed installation directory, ending with "/"
    SystemNotes notes;
};

// The per-user default: $HOME/.local/opt/Torvic/.
std::string defaultInstallDirectory(const std::string& home);

// The file type, the desktop entries and the launchers of an installation
// in `dir` (ending with "/"); failures are passed over.
void registerInstallation(const InstallPlaces& places, const std::string& dir);

class InstallerPresenter {
public:
    InstallerPresenter(InstallerView& view, InstallPlaces places) : view_(view), places_(std::move(places)) {}

    void onLoad();  // Form_Load
    void onInstall();  // Command1_Click "Sí": install
    void onCancel() { view_.endProgram(); }  // Command2_Click "No"
    void onInfo();  // Command3_Click "Info."
    // "...": the directory chosen in the picker, plus "Torvic/".
    void onBrowse(FolderPickerPresenter& picker);  // Command4_Click "..."

private:
    // The failure report of a Stop step: the error number, the component
    // that raised it and its description.
    void failureReport(int number, const std::string& component, const std::string& description);

    InstallerView& view_;
    InstallPlaces places_;
};

}  // namespace torvic::setup
