#include "platform/linux/xdg_registration.h"

#include <cstdlib>
#include <filesystem>

#include "platform/files.h"

namespace torvic::xdg {
namespace {

namespace fs = std::filesystem;

// The program's icon: a yellow T on a dark blue rounded square.
const char* const kIconSvg =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\">\n"
    "  <rect width=\"32\" height=\"32\" rx=\"5\" fill=\"#000080\"/>\n"
    "  <text x=\"16\" y=\"25\" font-family=\"sans-serif\" font-weight=\"bold\" font-size=\"24\" "
    "text-anchor=\"middle\" fill=\"#ffff00\">T</text>\n"
    "</svg>\n";

bool onPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string shellQuoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// `text` without the group `header` when no entry is left in it.
std::string withoutEmptyGroup(const std::string& text, const std::string& header) {
    const std::size_t at = text.find(header + "\n");
    if (at == std::string::npos || (at > 0 && text[at - 1] != '\n')) return text;
    std::size_t end = at + header.size() + 1;
    std::size_t p = end;
    while (p < text.size()) {  // only blank lines up to the next group or the end
        const std::size_t eol = text.find('\n', p);
        const std::string line = text.substr(p, (eol == std::string::npos ? text.size() : eol) - p);
        if (line.starts_with("[")) break;
        if (line.find_first_not_of(" \t") != std::string::npos) return text;
        p = eol == std::string::npos ? text.size() : eol + 1;
    }
    return text.substr(0, at) + text.substr(end);
}

}  // namespace

std::string execArgument(const std::string& argument) {
    const bool plain = argument.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos && !argument.empty();
    std::string quoted;
    if (plain) {
        quoted = argument;
    } else {
        quoted = "\"";
        for (char c : argument) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
            quoted += c;
        }
        quoted += "\"";
    }
    // The Exec value is a string of the desktop file: its backslashes
    // doubled; a "%" of the path is "%%", not a field code.
    std::string escaped;
    for (char c : quoted) escaped += c == '\\' ? std::string("\\\\") : c == '%' ? std::string("%%") : std::string(1, c);
    return escaped;
}

std::string desktopString(std::string_view value) {
    std::string out;
    for (char c : value) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
}

std::string launcherEntry(const std::string& name, const std::string& exec) {
    return "[Desktop Entry]\nType=Application\nName=" + desktopString(name) + "\nExec=" + exec +
           "\nIcon=torvic\nTerminal=false\nCategories=Utility;\n";
}

std::vector<RegistryFile> registryFiles(const std::string& installDir, const std::string& madeDesktopDir) {
    const std::string program = execArgument(installDir + "torvic");
    return {
        {"mime/packages/torvic.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"" + std::string(kMimeType) + "\">\n"
         "    <comment>Torvic Program</comment>\n"
         "    <sub-class-of type=\"text/plain\"/>\n"
         "    <glob pattern=\"*.torvic\"/>\n"
         "    <icon name=\"torvic\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n"},
        {std::string("applications/") + kDesktopFile,
         "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Torvic\n"
         "GenericName=Torvic Program\n"
         "Comment=Executa un programa de Torvic\n"
         "Exec=" + program + " /exec %f\n"
         "Icon=torvic\n"
         "MimeType=" + std::string(kMimeType) + ";\n"
         "Terminal=false\n"
         // The handler of the file type: it needs a file, so it is no menu entry.
         "NoDisplay=true\n"
         "Actions=Edit;\n" +
         (madeDesktopDir.empty() ? "" : std::string(kMadeDesktopKey) + "=" + desktopString(madeDesktopDir) + "\n") +
         "\n"
         "[Desktop Action Edit]\n"
         "Name=Editar\n"
         "Exec=" + program + " %f\n"},
        {"icons/hicolor/scalable/apps/torvic.svg", kIconSvg},
    };
}

void afegirRegistre(const std::string& dataHome, const std::string& installDir, const std::string& madeDesktopDir) {
    for (const RegistryFile& f : registryFiles(installDir, madeDesktopDir)) {
        const fs::path path = fs::path(dataHome) / f.path;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        writeFileSafely(path.string(), f.contents);
    }
    const std::string data = shellQuoted(dataHome);
    if (onPath("update-mime-database")) std::system(("update-mime-database " + data + "/mime >/dev/null 2>&1").c_str());
    if (onPath("update-desktop-database"))
        std::system(("update-desktop-database " + data + "/applications >/dev/null 2>&1").c_str());
    if (onPath("xdg-mime"))
        std::system((std::string("XDG_DATA_HOME=") + data + " xdg-mime default " + kDesktopFile + " " + kMimeType +
                     " >/dev/null 2>&1")
                        .c_str());
}

void crearDrecera(const std::string& target, const std::string& folder, const std::string& name,
                  const std::string& argument) {
    std::error_code ec;
    fs::create_directory(folder, ec);  // one level only; an existing one stays
    std::string exec = execArgument(target);
    if (!argument.empty()) exec += " " + execArgument(argument);
    const fs::path file = fs::path(folder) / (name + ".desktop");
    writeFileSafely(file.string(), launcherEntry(name, exec));
    // Desktops start a launcher only when it is executable (and, for some,
    // marked trusted).
    fs::permissions(file, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ec);
    if (onPath("gio"))
        std::system(("gio set -t string " + shellQuoted(file.string()) + " metadata::trusted true >/dev/null 2>&1").c_str());
}

std::string madeDesktopDirectory(const std::string& dataHome) {
    const std::string desktop = readFileBytes((fs::path(dataHome) / "applications" / kDesktopFile).string()).value_or("");
    const std::string key = std::string("\n") + kMadeDesktopKey + "=";
    const std::size_t at = desktop.find(key);
    if (at == std::string::npos) return "";
    const std::size_t from = at + key.size();
    const std::string value = desktop.substr(from, desktop.find('\n', from) - from);
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) out += value[i] == '\\' && i + 1 < value.size() ? value[++i] : value[i];
    return out;
}

std::string installedDirectory(const std::string& dataHome) {
    const std::string desktop = readFileBytes((fs::path(dataHome) / "applications" / kDesktopFile).string()).value_or("");
    const std::size_t exec = desktop.find("\nExec=");
    if (exec == std::string::npos) return "";
    // The first argument of the Exec line: string escapes undone, then quoting.
    const std::string value = desktop.substr(exec + 6, desktop.find('\n', exec + 6) - exec - 6);
    std::string line, program;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const bool pair = i + 1 < value.size() && value[i] == value[i + 1] && (value[i] == '%' || value[i] == '\\');
        line += value[i] == '\\' && i + 1 < value.size() ? value[++i] : pair ? value[++i] : value[i];
    }
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '\\' && i + 1 < line.size()) {
            program += line[++i];
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            break;
        } else {
            program += c;
        }
    }
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos ? "" : program.substr(0, slash + 1);
}

std::string desinstallar(const std::string& dataHome, const std::string& configHome, const std::string& desktopDir) {
    const std::string dir = installedDirectory(dataHome);
    const std::string madeDesktop = madeDesktopDirectory(dataHome);
    std::error_code ec;
    if (!dir.empty()) {
        for (const char* name : {"torvic", "torvicrun", "torvic.rtf", "torvic.html", "torvicsetup"})
            fs::remove(fs::path(dir) / name, ec);
        fs::remove(dir, ec);  // only when empty: what the user put there stays
    }
    for (const RegistryFile& f : registryFiles(dir)) fs::remove(fs::path(dataHome) / f.path, ec);
    const fs::path menu = fs::path(dataHome) / "applications" / "Torvic";
    for (const char* name : {"Editor de Programes Torvic.desktop", "Documentació del Torvic.desktop",
                             "Desinstal·lar Torvic.desktop"})
        fs::remove(menu / name, ec);
    fs::remove(menu, ec);
    fs::remove(fs::path(desktopDir) / "Editor de Programes Torvic.desktop", ec);
    if (!madeDesktop.empty()) fs::remove(madeDesktop, ec);  // made by the installation; only when empty
    // The default association: only our own line.
    const std::string mimeapps = (fs::path(configHome) / "mimeapps.list").string();
    if (std::optional<std::string> list = readFileBytes(mimeapps)) {
        const std::string ours = std::string(kMimeType) + "=" + kDesktopFile + ";";
        std::string kept, line;
        std::size_t start = 0;
        while (start < list->size()) {
            std::size_t end = list->find('\n', start);
            if (end == std::string::npos) end = list->size();
            line = list->substr(start, end - start);
            if (line != ours && line != std::string(kMimeType) + "=" + kDesktopFile) kept += line + "\n";
            start = end + 1;
        }
        kept = withoutEmptyGroup(kept, "[Default Applications]");
        if (kept.empty())
            fs::remove(mimeapps, ec);  // nothing but our line was in it
        else if (kept != *list)
            writeFileSafely(mimeapps, kept);
    }
    // The desktop's indexes: rebuilt, or removed when ours was all they held.
    const fs::path mime = fs::path(dataHome) / "mime";
    if (fs::is_empty(mime / "packages", ec)) {
        for (const auto& e : fs::directory_iterator(mime, ec))
            if (e.path().filename() != "packages") fs::remove_all(e.path(), ec);
    } else if (onPath("update-mime-database")) {
        std::system(("update-mime-database " + shellQuoted(mime.string()) + " >/dev/null 2>&1").c_str());
    }
    const fs::path applications = fs::path(dataHome) / "applications";
    fs::remove(applications / "mimeinfo.cache", ec);
    if (!fs::is_empty(applications, ec) && onPath("update-desktop-database"))
        std::system(("update-desktop-database " + shellQuoted(applications.string()) + " >/dev/null 2>&1").c_str());
    // A cache that indexes nothing was not there before the installation.
    const std::string cache = readFileBytes((applications / "mimeinfo.cache").string()).value_or("");
    if (cache.find_first_not_of(" \n", cache.find('\n')) == std::string::npos) fs::remove(applications / "mimeinfo.cache", ec);
    // Folders the installation made and that are empty now.
    for (const char* folder : {"mime/packages", "mime", "applications", "icons/hicolor/scalable/apps",
                               "icons/hicolor/scalable", "icons/hicolor", "icons"})
        fs::remove(fs::path(dataHome) / folder, ec);  // only when empty
    return dir;
}

InstallNotes XdgInstallation::notes() const {
    return {"Aquest programa no instal·la cap llibreria: fa servir les del sistema.",
            "Es desinstal·la des del menú: \"Desinstal·lar Torvic\".",
            "Aquest programa fa servir les llibreries Qt 6, libxdo i X11 del sistema, que segurament ja teniu "
            "instal·lades (paquets libqt6widgets6 i libxdo3).",
            "Copieu el fitxer torvic i el torvic.rtf al directori " + defaultDirectory() +
                " i executeu el torvicsetup /register."};
}

std::vector<ShippedFile> XdgInstallation::shippedFiles() const {
    // torvicrun, torvicsetup (which uninstalls) and the HTML manual are
    // companions: the installation stands without them.
    return {{"torvic", true},
            {"torvic.rtf", true},
            {"torvic.html", false},
            {"torvicrun", false},
            {"torvicsetup", false}};
}

void XdgInstallation::registerInstallation(const std::string& dir) {
    // The desktop folder, when this installation (or an earlier one) makes
    // it, goes again with the uninstallation.
    std::error_code ec;
    std::string madeDesktop = madeDesktopDirectory(places_.dataHome);
    if (!fs::exists(places_.desktopDir, ec)) madeDesktop = places_.desktopDir;
    afegirRegistre(places_.dataHome, dir, madeDesktop);  // reports no failure of its own
    const std::string menu = places_.dataHome + "/applications/Torvic";
    crearDrecera(dir + "torvic", places_.desktopDir, "Editor de Programes Torvic");
    crearDrecera(dir + "torvic", menu, "Editor de Programes Torvic");
    crearDrecera(dir + "torvic", menu, "Documentació del Torvic", "/manual");
    crearDrecera(dir + "torvicsetup", menu, "Desinstal·lar Torvic", "/uninstall");  // the way back out
}

}  // namespace torvic::xdg
