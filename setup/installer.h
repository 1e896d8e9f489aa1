#pragma once
// The installer window `Instalar`: its behaviour behind a view. Every text
// it exchanges with its view and its system is UTF-8. "Sí" registers, makes
// the folder with its missing parents and copies the files; a step that
// fails takes back everything done before it (files, folders, the
// registration) and shows the failure report with the system's reason.
#include <iosfwd>
#include <string>

#include "base/dialogs.h"
#include "base/form.h"
#include "platform/installation.h"
#include "setup/folder_picker.h"
#include "setup/installer_texts.h"

namespace torvic::setup {

class InstallerView {
public:
    virtual ~InstallerView() = default;
    virtual std::string text1() = 0;  // the installation directory
    virtual void setText1(const std::string& text) = 0;
    virtual void messageBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
    virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
    // The two notes under the question: what the program installs besides
    // itself, and how it is uninstalled.
    virtual void setNotes(const std::string& libraries, const std::string& uninstalling) = 0;
    // Shows the manual of the installation in `dir` (ending with the separator).
    virtual void openManual(const std::string& dir) = 0;
    virtual void endProgram() = 0;
};

class InstallerPresenter {
public:
    // `picker` is the directory picker "..." opens; without one, "..." does nothing.
    InstallerPresenter(InstallerView& view, Installation& system, FolderPickerPresenter* picker = nullptr)
        : view_(view), system_(system), picker_(picker) {}

    void onLoad();  // Form_Load
    void onInstall();  // Command1_Click "Sí": install
    void onCancel() { view_.endProgram(); }  // Command2_Click "No"
    void onInfo();  // Command3_Click "Info."
    // "...": the directory chosen in the picker, plus "Torvic/".
    void onBrowse();  // Command4_Click "..."

private:
    // The failure report of a Stop step: the error number, the component
    // that raised it and its description.
    void failureReport(int number, const std::string& component, const std::string& description);

    InstallerView& view_;
    Installation& system_;
    FolderPickerPresenter* picker_;
};

// The installer window's form. Label2 and Label3, the notes, are the
// system's; the installation directory in Text1 is the presenter's.
const Form<InstallerPresenter>& installerForm();

// The installer window and its directory picker on one toolkit's views,
// wired to an installation and loaded.
template <class View, class PickerView>
struct InstallerWindows {
    View window;
    PickerView pickerView;
    FolderPickerPresenter picker{pickerView};
    InstallerPresenter instalar;

    explicit InstallerWindows(Installation& system) : instalar(window, system, &picker) {
        pickerView.attach(&picker);
        window.attach(&instalar);
        instalar.onLoad();
    }
};

// torvicsetup's command line, the same on every system.
// "/register [FOLDER]": why FOLDER (ending with the separator) cannot be
// registered, or "" when it can; `holdsProgram` says whether torvic is in it.
std::string registrationRefusal(const Installation& system, const std::string& dir, bool holdsProgram);
// "/uninstall": the boxes' title, the question asked first, and the report
// of the folder removed ("" when nothing was installed).
inline constexpr const char* kUninstallTitle = texts::kUninstallTitle;
inline constexpr const char* kUninstallQuestion = texts::kUninstallQuestion;
std::string uninstallReport(const std::string& dir);
// "/uninstall" without a window: with "/quiet" it removes without asking;
// otherwise it asks the question on a terminal (`in`, the question on
// `err`), and without one it says how to uninstall and asks nothing. The
// report goes to `out`. Returns the exit status: 0 uninstalled (or nothing
// was installed), 1 answered No, 2 it could not ask.
int uninstallWithoutWindow(Installation& system, bool quiet, bool terminal, std::istream& in, std::ostream& out,
                           std::ostream& err);
// The exit status of "/uninstall" answered in a window.
inline int uninstallAnswered(bool yes) { return yes ? 0 : 1; }

}  // namespace torvic::setup
