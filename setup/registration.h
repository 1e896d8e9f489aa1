#pragma once
// The desktop's registration of an installation, the freedesktop way: the
// file type *.torvic (a shared-mime-info type), a desktop entry whose
// default action runs a script hidden ("torvic /exec") with an Edit action
// that opens it in the editor, the icon, and launchers. Everything goes
// under a data folder ($XDG_DATA_HOME, by default ~/.local/share).
#include <string>
#include <string_view>
#include <vector>

namespace torvic::setup {

inline constexpr const char* kMimeType = "application/x-torvic";
inline constexpr const char* kDesktopFile = "torvic.desktop";
// The key of our desktop entry naming the desktop folder that the
// installation made (and that uninstalling removes when it is empty).
inline constexpr const char* kMadeDesktopKey = "X-Torvic-Made-Desktop-Folder";

// Whether a text holds a control character (a line feed, say): a folder so
// named cannot stand in a desktop entry.
bool hasControlCharacters(std::string_view text);

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

}  // namespace torvic::setup
