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
// The key of our desktop entry naming the desktop folder that the
// installation made (and that uninstalling removes when it is empty).
inline constexpr const char* kMadeDesktopKey = "X-Torvic-Made-Desktop-Folder";


// A launcher's desktop entry.
std::string launcherEntry(const std::string& name, const std::string& exec);

// One argument of a desktop entry's Exec line, quoted when it needs it, as
// desktop entries require (and the value then escaped as a
// string of a desktop file).
std::string execArgument(const std::string& argument);

// The files afegirRegistre writes, relative to the data folder, with their
// contents; `installDir` ends with "/".
struct RegistryFile {
    std::string path;
    std::string contents;
};
std::vector<RegistryFile> registryFiles(const std::string& installDir, const std::string& madeDesktopDir = "");

// Writes them under `dataHome` (again on a second installation, repointed
// on an installation elsewhere), then lets the desktop's tools index them
// where they are installed. Failures are not reported, as before.
void afegirRegistre(const std::string& dataHome, const std::string& installDir, const std::string& madeDesktopDir = "");

// The desktop folder an earlier installation made, as its entry records it.
std::string madeDesktopDirectory(const std::string& dataHome);

// A launcher: `folder`/`name`.desktop starting the program `target`,
// executable and marked trusted where the desktop keeps such marks.
void crearDrecera(const std::string& target, const std::string& folder, const std::string& name,
                  const std::string& argument = "");

// The installation directory (ending with "/") named by the registered
// desktop entry under `dataHome`, or empty when there is none.
std::string installedDirectory(const std::string& dataHome);

// Removes exactly what an installation wrote: the programs and the manual in
// its directory (and the directory when nothing else is left in it), the
// registry files, the launchers, and the default association in
// `configHome`/mimeapps.list. Returns the directory it removed from.
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
    std::string uninstall() override { return desinstallar(places_.dataHome, places_.configHome, places_.desktopDir); }

private:
    Places places_;
};

}  // namespace torvic::xdg
