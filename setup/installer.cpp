#include "setup/installer.h"

#include <filesystem>
#include <istream>
#include <ostream>

#include "base/text.h"
#include "base/text_encoding.h"
#include "platform/conventions.h"
#include "platform/files.h"
#include "setup/installer_texts.h"

namespace torvic::setup {

namespace fs = std::filesystem;

namespace {
// The name a file being overwritten is kept under until the installation
// has succeeded.
constexpr const char* kAside = ".torvic-old";
}  // namespace

// The installer's texts are UTF-8 on every system, its paths too.

void InstallerPresenter::onLoad() {
    view_.setText1(system_.defaultDirectory());
    const InstallNotes notes = system_.notes();
    view_.setNotes(notes.libraries, notes.uninstalling);
}

void InstallerPresenter::onInfo() {
    view_.messageBox(system_.notes().sharedFiles, "Llibreries que utilitzarà aquest programa:", MessageIcon::Information);
}

void InstallerPresenter::onBrowse() {
    if (!picker_) return;
    picker_->show();
    std::string d = picker_->Directori;
    if (d.empty()) return;
    const char separator = conventions::folderSeparator();
    if (d.back() != separator) d += separator;
    view_.setText1(d + "Torvic" + separator);
}

void InstallerPresenter::onInstall() {
    std::string dir(trimBlanks(view_.text1()));
    view_.setText1(dir);
    // An absolute path: a relative one, "c:prova" or nothing at all says where nothing.
    if (!system_.isAbsoluteDirectory(dir)) {
        view_.messageBox(texts::kBadDirectory, texts::kInstallErrorTitle, MessageIcon::Critical);
        return;
    }
    // A line feed in the name would end a line of the registration's files.
    if (hasControlCharacters(dir)) {
        view_.messageBox(texts::kControlCharacters, texts::kInstallErrorTitle, MessageIcon::Critical);
        return;
    }
    const char separator = conventions::folderSeparator();
    if (dir.back() != separator) {
        dir += separator;
        view_.setText1(dir);
    }
    system_.registerInstallation(dir);
    // What was done, to take it back when a step fails: the folders made
    // (parents first), the files copied, and the files overwritten (kept
    // aside beside them until the end).
    std::vector<std::string> folders, copied, keptAside;
    // The registration goes before the files it names are put back.
    const auto undo = [&] {
        for (auto f = copied.rbegin(); f != copied.rend(); ++f) system_.removeFile(*f);
        system_.undoRegistration();
        for (const std::string& f : keptAside) {
            system_.copyFile(f + kAside, f);
            system_.removeFile(f + kAside);
        }
        for (auto f = folders.rbegin(); f != folders.rend(); ++f) system_.removeFolder(*f);
    };
    const auto fail = [&](const std::error_code& ec, const std::string& component) {
        undo();
        std::string reason = system_.describe(ec);
        if (reason.empty()) reason = texts::reason(ec);
        failureReport(ec.value(), component, reason);
    };
    // The folder with its missing parents, as the system's own installers
    // do; something else in its place fails here.
    std::error_code ec;
    std::vector<std::string> missing;
    for (fs::path p = systemPath(dir).parent_path(); !p.empty() && p != p.root_path() && !fs::is_directory(p, ec);
         p = p.parent_path())
        missing.push_back(systemNameOf(p));
    for (auto f = missing.rbegin(); f != missing.rend(); ++f) {
        bool made = false;
        if (const std::error_code error = system_.makeFolder(*f, made)) return fail(error, texts::makingFolder(*f));
        if (made) folders.push_back(*f);
    }
    system_.rememberMadeFolders(folders);
    for (const ShippedFile& file : system_.shippedFiles()) {
        const std::string from = system_.sourceDirectory() + separator + file.name, to = dir + file.name;
        // A companion that is not there is passed over.
        if (!file.required && !fs::exists(systemPath(from), ec)) continue;
        const bool existed = fs::exists(systemPath(to), ec);
        if (existed) {
            if (const std::error_code error = system_.copyFile(to, to + kAside))
                return fail(error, texts::copyingFile(file.name));
            keptAside.push_back(to);
        }
        if (const std::error_code error = system_.copyFile(from, to)) {
            // No half copy stays: what was there comes back, or nothing.
            if (existed)
                system_.copyFile(to + kAside, to);
            else
                system_.removeFile(to);
            if (file.required) return fail(error, texts::copyingFile(file.name));
            continue;
        }
        if (!existed) copied.push_back(to);
    }
    for (const std::string& f : keptAside) system_.removeFile(f + kAside);
    view_.messageBox("Programa instalat correctament a " + dir, "Instal·lació realitzada amb èxit:",
                     MessageIcon::Information);
    if (view_.askYesNo("Voleu veure les intruccions d'ús del programa ara?", "Apendre les comandes:"))
        view_.openManual(dir);
    view_.endProgram();
}

void InstallerPresenter::failureReport(int number, const std::string& component, const std::string& description) {
    if (view_.askYesNo(texts::failureQuestion(system_.notes().byHand), texts::kFailureTitle) && number != 0)
        view_.messageBox(texts::failureDetail(number, component, description), texts::kFailureDetailTitle,
                         MessageIcon::None);
}

const Form<InstallerPresenter>& installerForm() {
    using P = InstallerPresenter;
    static const FormControl<P> controls[] = {
        {ControlKind::Label, "Label4", "", "Torvic XP  1.10", "", {240, 150, 6000, 510}, nullptr, Bold, 18},
        {ControlKind::Label, "Label1", "", "Voleu instal·lar el programa Torvic ?", "", {240, 750, 6000, 300}},
        {ControlKind::Label, "Label2", "", "", "", {240, 1080, 6150, 300}},
        {ControlKind::Label, "Label3", "", "", "", {240, 1410, 6150, 300}},
        {ControlKind::Frame, "Frame1", "", "Directori d'instal·lació:", "", {150, 1800, 6150, 900}},
        {ControlKind::Field, "Text1", "Frame1", "", "", {150, 360, 5250, 360}},
        {ControlKind::Button, "Command4", "Frame1", "...", "", {5490, 360, 510, 360}, &P::onBrowse},
        // Enter is "Sí", Esc is "No".
        {ControlKind::Button, "Command1", "", "Sí", "", {150, 3000, 1350, 450}, &P::onInstall, DefaultButton},
        {ControlKind::Button, "Command2", "", "No", "", {1800, 3000, 1350, 450}, &P::onCancel},
        {ControlKind::Button, "Command3", "", "Info.", "", {4950, 3000, 1350, 450}, &P::onInfo},
    };
    static const Form<P> form = makeForm<P>("Instal·lació de Torvic XP:", 6450, 3750, 8.25, controls);
    return form;
}

const Form<FolderPickerPresenter>& folderPickerForm() {
    using P = FolderPickerPresenter;
    // Esc is "Cancel·lar", Enter "Acceptar".
    static const FormControl<P> controls[] = {
        {ControlKind::Button, "Command2", "", "Cancel·lar", "", {3300, 840, 1500, 420}, &P::onCancel},
        {ControlKind::Button, "Command1", "", "Acceptar", "", {3300, 240, 1500, 420}, &P::onAccept, DefaultButton},
        {ControlKind::List, "Dir1", "", "", "", {150, 240, 3000, 3540}},
        {ControlKind::DropDown, "Drive1", "", "", "", {150, 3930, 3000, 390}},
    };
    static const Form<P> form = makeForm<P>("Seleccionar Directori:", 4950, 4500, 8.25, controls);
    return form;
}

std::string registrationRefusal(const Installation& system, const std::string& dir, bool holdsProgram) {
    if (hasControlCharacters(dir)) return texts::kControlCharactersRefused;
    // Desktop entries and the registry are UTF-8 (or UTF-16) text.
    if (!isValidUtf8(dir)) return texts::kNotUtf8Refused;
    if (!system.isAbsoluteDirectory(dir)) return texts::notAbsoluteRefused(dir);
    if (!holdsProgram) return texts::noProgramRefused(dir);
    return "";
}

std::string uninstallReport(const std::string& dir) {
    return dir.empty() ? "El programa Torvic no estava instal·lat." : "Programa desinstal·lat de " + dir;
}

int uninstallWithoutWindow(Installation& system, bool quiet, bool terminal, std::istream& in, std::ostream& out,
                           std::ostream& err) {
    if (!quiet && !terminal) {
        err << "torvicsetup: no es pot preguntar \"" << kUninstallQuestion
            << "\": no hi ha cap pantalla ni terminal.\nPer desinstal·lar-lo sense preguntar: torvicsetup /uninstall "
               "/quiet\n";
        return 2;
    }
    if (!quiet) {
        err << "== " << kUninstallTitle << " ==\n" << kUninstallQuestion << "\n";
        bool yes = false;
        for (std::string reply; err << "Sí/No [s/n]: " << std::flush, std::getline(in, reply);) {
            const std::size_t at = reply.find_first_not_of(" \t\r");
            const char c = at == std::string::npos ? ' ' : reply[at];
            yes = c == 's' || c == 'S' || c == 'y' || c == 'Y';
            if (yes || c == 'n' || c == 'N') break;
        }
        // The end of the input answers No.
        if (!yes) return 1;
    }
    out << uninstallReport(system.uninstall()) << "\n";
    return 0;
}

}  // namespace torvic::setup
