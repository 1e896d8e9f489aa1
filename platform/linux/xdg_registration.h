#pragma once
// The desktop's registration of an installation, the freedesktop way: the
// file type *.torvic (a shared-mime-info type), a desktop entry whose
// default action runs a script hidden ("torvic /exec") with an Edit action
// that opens it in the editor, the icon, and launchers. Everything goes
// under a data folder ($XDG_DATA_HOME, by default ~/.local/share).
#include <string>
#include <string_view>
#include <vector>

#include "platform/installation.h"

namespace torvic::xdg {

inline constexpr const char* kMimeType = "application/x-torvic";
inline constexpr const char* kDesktopFile = "torvic.desktop";
// Keys of our desktop entry: the installation directory, and the folders
// and files the installation made (they did not exist before it), which
// uninstalling takes away again.
inline constexpr const char* kDirectoryKey = "X-Torvic-Directory";
inline constexpr const char* kMadeKey = "X-Torvic-Made";

// A value of type string (or localestring) as a desktop file spells it.
std::string desktopString(std::string_view value);
// A list of strings (each ended by ";"), and both read back.
std::string desktopStringList(const std::vector<std::string>& values);
std::string readDesktopString(std::string_view spelt);
std::vector<std::string> readDesktopStringList(std::string_view spelt);

// One argument of a desktop entry's Exec line, quoted when it needs it, as
// desktop entries require (and the value then escaped as a
// string of a desktop file).
std::string execArgument(const std::string& argument);
// The program of an Exec line. A path holding "%" is started through sh:
// desktops look for the program as written (with "%%") before expanding it.
std::string execProgram(const std::string& path);

// A launcher's desktop entry; `tryExec`, when given, is the program whose
// absence hides it.
std::string launcherEntry(const std::string& name, const std::string& exec, const std::string& tryExec = "");

// The files afegirRegistre writes, relative to the data folder, with their
// contents; `installDir` ends with "/" (empty for a program on the PATH,
// with no record of an installation).
struct RegistryFile {
    std::string path;
    std::string contents;
};
std::vector<RegistryFile> registryFiles(const std::string& installDir, const std::vector<std::string>& made = {});

// Writes them under `dataHome` (again on a second installation, repointed
// on an installation elsewhere), then lets the desktop's tools index them
// and make the type's default (in `configHome`). Failures are not reported.
void afegirRegistre(const std::string& dataHome, const std::string& configHome, const std::string& installDir,
                    const std::vector<std::string>& made = {});

// A launcher: `folder`/`name`.desktop starting the program `target`,
// executable and marked trusted where the desktop keeps such marks.
void crearDrecera(const std::string& target, const std::string& folder, const std::string& name,
                  const std::string& argument = "");

// What the registered desktop entry under `dataHome` says of its
// installation: the directory (ending with "/"; empty when there is none)
// and what it made.
struct InstallationRecord {
    std::string directory;
    std::vector<std::string> made;
};
InstallationRecord installationRecord(const std::string& dataHome);

// Removes exactly what an installation wrote: the programs and the manual in
// its directory, the registry files, the launchers, the default association
// in `configHome`/mimeapps.list, the desktop's indexes it made, and the
// folders it made once they are empty. Returns the directory it removed from.
std::string desinstallar(const std::string& dataHome, const std::string& configHome, const std::string& desktopDir);

// An installation for one user of a freedesktop desktop.
class XdgInstallation : public Installation {
public:
    struct Places {
        std::string sourceDir;   // the installer's own folder
        std::string home;        // the proposed directory is $HOME/.local/opt/Torvic/
        std::string dataHome;    // $XDG_DATA_HOME
        std::string configHome;  // $XDG_CONFIG_HOME, which keeps the default applications
        std::string desktopDir;  // the user's desktop folder, for the launcher
    };
    explicit XdgInstallation(Places places) : places_(std::move(places)) {}

    const Places& places() const { return places_; }
    std::string sourceDirectory() const override { return places_.sourceDir; }
    std::string defaultDirectory() const override { return places_.home + "/.local/opt/Torvic/"; }
    InstallNotes notes() const override;
    bool isAbsoluteDirectory(const std::string& dir) const override { return !dir.empty() && dir[0] == '/'; }
    std::vector<ShippedFile> shippedFiles() const override;
    void registerInstallation(const std::string& dir) override;
    // Takes back a registration where none was before; one over an earlier
    // installation stays, as taking it back would take the earlier one too.
    void undoRegistration() override;
    std::string describe(const std::error_code& error) const override;
    std::string uninstall() override { return desinstallar(places_.dataHome, places_.configHome, places_.desktopDir); }
    // The folders and files an installation in `dir` may make, parents
    // before their children; those missing now are its to take away again.
    std::vector<std::string> placesItMayMake(const std::string& dir) const;

private:
    Places places_;
    bool firstRegistration_ = false;  // the last registration found none before it
};

}  // namespace torvic::xdg
