#pragma once
// An installation for the current user of Windows: the file type .torvic
// under the user's classes (open runs a script hidden through "/exec", edit
// opens the editor), shell links in the start menu and on the desktop, and
// an uninstall entry the system's list of programs shows. Paths are UTF-8.
#include <functional>
#include <string>
#include <vector>

#include "platform/installation.h"

namespace torvic::win {

class RegistryInstallation : public Installation {
public:
    struct Places {
        std::string sourceDir;     // the installer's own folder
        std::string defaultDir;    // the proposed directory, ending with "\"
        std::string desktopDir;    // the user's desktop
        std::string programsDir;   // the user's start menu programs
        std::string classesKey;    // under HKEY_CURRENT_USER: Software\Classes
        std::string uninstallKey;  // under HKEY_CURRENT_USER: ...\Uninstall\Torvic
        // Also under HKEY_CLASSES_ROOT when the system's classes do not show
        // the user's own.
        bool mirrorToClassesRoot = false;
    };
    explicit RegistryInstallation(Places places) : places_(std::move(places)) {}
    // The places of the current user, for an installer in `sourceDir`.
    static Places userPlaces(const std::string& sourceDir);

    const Places& places() const { return places_; }
    std::string sourceDirectory() const override { return places_.sourceDir; }
    std::string defaultDirectory() const override { return places_.defaultDir; }
    InstallNotes notes() const override;
    bool isAbsoluteDirectory(const std::string& dir) const override;
    std::vector<ShippedFile> shippedFiles() const override;
    void registerInstallation(const std::string& dir) override;
    void rememberMadeFolders(const std::vector<std::string>& folders) override;
    void undoRegistration() override;
    std::string uninstall() override;
    // The files through the wide API, the errors the system's own.
    std::error_code makeFolder(const std::string& dir, bool& made) override;
    std::error_code copyFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    void removeFolder(const std::string& dir) override;
    std::string describe(const std::error_code& error) const override;
    // The directory the uninstall entry names, or empty.
    std::string installedDirectory() const;

private:
    Places places_;
    // What the last registration changed, each step putting back what was
    // there before.
    std::vector<std::function<void()>> undo_;
};

}  // namespace torvic::win
