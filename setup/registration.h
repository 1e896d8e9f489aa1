#pragma once
// The desktop's registration of an installation, the freedesktop way: the
// file type *.torvic (a shared-mime-info type), a desktop entry whose
// default action runs a script hidden ("torvic /exec") with an Edit action
// that opens it in the editor, the icon, and launchers. Everything goes
// under a data folder ($XDG_DATA_HOME, by default ~/.local/share).
#include <string>
#include <vector>

namespace torvic::setup {

inline constexpr const char* kMimeType = "application/x-torvic";
inline constexpr const char* kDesktopFile = "torvic.desktop";

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
std::vector<RegistryFile> registryFiles(const std::string& installDir);

// Writes them under `dataHome` (again on a second installation, repointed
// on an installation elsewhere), then lets the desktop's tools index them
// where they are installed. Failures are not reported, as before.
void afegirRegistre(const std::string& dataHome, const std::string& installDir);

// A launcher: `folder`/`name`.desktop starting `target` (a program, or a
// document opened with the desktop's default application).
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
