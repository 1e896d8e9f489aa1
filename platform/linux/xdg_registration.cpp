#include "platform/linux/xdg_registration.h"

#include "platform/linux/system_error.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "base/cp1252.h"
#include "platform/files.h"
#include "platform/linux/system_error.h"

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

const char* const kLaunchers[] = {"Editor de Programes Torvic", "Documentació del Torvic", "Desinstal·lar Torvic"};
const char* const kDefaultGroup = "[Default Applications]";

bool onPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string shellQuoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Whether something (a dangling link too) is at `p`.
bool present(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

bool holds(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The spelt value of `key` in the first group of a desktop file.
std::optional<std::string> keyValue(const std::string& file, const std::string& key) {
    const std::size_t groupEnd = file.find("\n[");
    std::size_t at = file.find("\n" + key + "=");
    if (at == std::string::npos || at > groupEnd) return std::nullopt;
    at += key.size() + 2;
    return file.substr(at, file.find('\n', at) - at);
}

// The directory named by the Exec line of an entry written before the
// entries kept a record of their installation.
std::string directoryOfExec(const std::string& value) {
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

// Takes our default association out of a mimeapps.list; a list the
// installation made goes once nothing else is in it.
void removeOurDefault(const std::string& file, bool made) {
    const std::optional<std::string> list = readFileBytes(file);
    if (!list) return;
    const std::string ours = std::string(kMimeType) + "=" + kDesktopFile;
    std::string kept;
    std::size_t start = 0;
    while (start < list->size()) {
        std::size_t end = list->find('\n', start);
        if (end == std::string::npos) end = list->size();
        const std::string line = list->substr(start, end - start);
        if (line != ours && line != ours + ";") kept += line + "\n";
        start = end + 1;
    }
    kept = withoutEmptyGroup(kept, kDefaultGroup);
    const bool empty = kept.find_first_not_of(" \t\r\n") == std::string::npos;
    std::error_code ec;
    if (empty && made)
        fs::remove(file, ec);
    else if (empty)
        writeFileSafely(file, "");  // the user's file stays
    else if (kept != *list)
        writeFileSafely(file, kept);
}

// `p` and the folders above it, the outermost first.
void addWithParents(std::vector<std::string>& out, const fs::path& p) {
    std::vector<std::string> chain;
    for (fs::path at = p; !at.empty(); at = at.parent_path()) {
        chain.push_back(at.string());
        if (at == at.parent_path()) break;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (!holds(out, *it)) out.push_back(*it);
}

}  // namespace

std::string desktopString(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else if (c == ' ' && (i == 0 || i + 1 == value.size())) out += "\\s";  // readers trim blanks there
        else out += c;
    }
    return out;
}

std::string desktopStringList(const std::vector<std::string>& values) {
    std::string out;
    for (const std::string& v : values) {
        for (char c : desktopString(v)) out += c == ';' ? std::string("\\;") : std::string(1, c);
        out += ';';
    }
    return out;
}

namespace {

// Reads one string of a list up to an unescaped ";" (or the end) from `at`.
std::string readListItem(std::string_view spelt, std::size_t& at, bool stopAtSemicolon) {
    std::string out;
    for (; at < spelt.size(); ++at) {
        const char c = spelt[at];
        if (c == ';' && stopAtSemicolon) {
            ++at;
            break;
        }
        if (c != '\\' || at + 1 == spelt.size()) {
            out += c;
            continue;
        }
        const char e = spelt[++at];
        out += e == 's' ? ' ' : e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
    }
    return out;
}

}  // namespace

std::string readDesktopString(std::string_view spelt) {
    std::size_t at = 0;
    return readListItem(spelt, at, false);
}

std::vector<std::string> readDesktopStringList(std::string_view spelt) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < spelt.size()) out.push_back(readListItem(spelt, at, true));
    return out;
}

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
    // The Exec value is a string of the desktop file; a "%" of the path is
    // "%%", not a field code.
    std::string escaped;
    for (char c : desktopString(quoted)) escaped += c == '%' ? std::string("%%") : std::string(1, c);
    return escaped;
}

std::string execProgram(const std::string& path) {
    if (path.find('%') == std::string::npos) return execArgument(path);
    return "sh -c " + execArgument("exec \"$0\" \"$@\"") + " " + execArgument(path);
}

std::string launcherEntry(const std::string& name, const std::string& exec, const std::string& tryExec) {
    return "[Desktop Entry]\nType=Application\nName=" + desktopString(name) +
           (tryExec.empty() ? "" : "\nTryExec=" + desktopString(tryExec)) + "\nExec=" + exec +
           "\nIcon=torvic\nTerminal=false\nCategories=Utility;\n";
}

std::vector<RegistryFile> registryFiles(const std::string& installDir, const std::vector<std::string>& made) {
    const std::string program = execProgram(installDir + "torvic");
    // An installation in a folder of its own says where, and what it made.
    std::string record;
    if (!installDir.empty()) record = std::string(kDirectoryKey) + "=" + desktopString(installDir) + "\n";
    if (!made.empty()) record += std::string(kMadeKey) + "=" + desktopStringList(made) + "\n";
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
         "Comment=Executa un programa de Torvic\n" +
         (installDir.empty() ? "" : "TryExec=" + desktopString(installDir + "torvic") + "\n") +
         "Exec=" + program + " /exec %f\n"
         "Icon=torvic\n"
         "MimeType=" + std::string(kMimeType) + ";\n"
         "Terminal=false\n"
         // The handler of the file type: it needs a file, so it is no menu entry.
         "NoDisplay=true\n"
         "Actions=Edit;\n" +
         record +
         "\n"
         "[Desktop Action Edit]\n"
         "Name=Editar\n"
         "Exec=" + program + " %f\n"},
        {"icons/hicolor/scalable/apps/torvic.svg", kIconSvg},
    };
}

void afegirRegistre(const std::string& dataHome, const std::string& configHome, const std::string& installDir,
                    const std::vector<std::string>& made) {
    for (const RegistryFile& f : registryFiles(installDir, made)) {
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
        std::system(("XDG_DATA_HOME=" + data + " XDG_CONFIG_HOME=" + shellQuoted(configHome) + " xdg-mime default " +
                     kDesktopFile + " " + kMimeType + " >/dev/null 2>&1")
                        .c_str());
}

void crearDrecera(const std::string& target, const std::string& folder, const std::string& name,
                  const std::string& argument) {
    std::error_code ec;
    fs::create_directory(folder, ec);  // one level only; an existing one stays
    std::string exec = execProgram(target);
    if (!argument.empty()) exec += " " + execArgument(argument);
    const fs::path file = fs::path(folder) / (name + ".desktop");
    writeFileSafely(file.string(), launcherEntry(name, exec, target));
    // Desktops start a launcher only when it is executable (and, for some,
    // marked trusted).
    fs::permissions(file, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ec);
    if (onPath("gio"))
        std::system(("gio set -t string " + shellQuoted(file.string()) + " metadata::trusted true >/dev/null 2>&1").c_str());
}

InstallationRecord installationRecord(const std::string& dataHome) {
    const std::string desktop = readFileBytes((fs::path(dataHome) / "applications" / kDesktopFile).string()).value_or("");
    InstallationRecord record;
    if (std::optional<std::string> dir = keyValue(desktop, kDirectoryKey))
        record.directory = readDesktopString(*dir);
    else if (std::optional<std::string> exec = keyValue(desktop, "Exec"))
        record.directory = directoryOfExec(*exec);
    if (std::optional<std::string> made = keyValue(desktop, kMadeKey)) record.made = readDesktopStringList(*made);
    return record;
}

std::string desinstallar(const std::string& dataHome, const std::string& configHome, const std::string& desktopDir) {
    const InstallationRecord record = installationRecord(dataHome);
    const std::string& dir = record.directory;
    const auto made = [&record](const fs::path& p) { return holds(record.made, p.string()); };
    std::error_code ec;
    if (!dir.empty())
        for (const char* name : {"torvic", "torvicrun", "torvic.rtf", "torvic.html", "torvicsetup"})
            fs::remove(fs::path(dir) / name, ec);
    for (const RegistryFile& f : registryFiles(dir)) fs::remove(fs::path(dataHome) / f.path, ec);
    const fs::path applications = fs::path(dataHome) / "applications";
    for (const char* name : kLaunchers) fs::remove(applications / "Torvic" / (std::string(name) + ".desktop"), ec);
    if (!desktopDir.empty()) fs::remove(fs::path(desktopDir) / (std::string(kLaunchers[0]) + ".desktop"), ec);
    // The default association (where the desktop's tools keep it).
    for (const fs::path& list : {fs::path(configHome) / "mimeapps.list", applications / "mimeapps.list"})
        removeOurDefault(list.string(), made(list));
    // The desktop's indexes: rebuilt, or removed when the installation made them.
    const fs::path mime = fs::path(dataHome) / "mime";
    if (made(mime / "packages") && fs::is_empty(mime / "packages", ec)) {
        for (const auto& e : fs::directory_iterator(mime, ec))
            if (e.path().filename() != "packages") fs::remove_all(e.path(), ec);
    } else if (present(mime / "packages") && onPath("update-mime-database")) {
        std::system(("update-mime-database " + shellQuoted(mime.string()) + " >/dev/null 2>&1").c_str());
    }
    const fs::path cache = applications / "mimeinfo.cache";
    if (made(cache))
        fs::remove(cache, ec);
    else if (present(cache) && onPath("update-desktop-database"))
        std::system(("update-desktop-database " + shellQuoted(applications.string()) + " >/dev/null 2>&1").c_str());
    // The folders it made, innermost first, where nothing else was put.
    std::vector<std::string> folders = record.made;
    std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& folder : folders)
        if (fs::is_directory(fs::symlink_status(folder, ec))) fs::remove(folder, ec);  // only when empty
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

std::vector<std::string> XdgInstallation::placesItMayMake(const std::string& dir) const {
    std::vector<std::string> out;
    std::string folder = dir;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    addWithParents(out, folder);  // the installer makes the default one with its parents
    const fs::path data(places_.dataHome);
    for (const char* sub : {"applications/Torvic", "mime/packages", "icons/hicolor/scalable/apps"})
        addWithParents(out, data / sub);
    // Files the desktop's tools write: the index of the entries and the
    // default association.
    out.push_back((data / "applications" / "mimeinfo.cache").string());
    out.push_back((data / "applications" / "mimeapps.list").string());
    addWithParents(out, places_.configHome);
    out.push_back((fs::path(places_.configHome) / "mimeapps.list").string());
    if (!places_.desktopDir.empty()) addWithParents(out, places_.desktopDir);
    return out;
}

void XdgInstallation::registerInstallation(const std::string& dir) {
    // What is missing now is the installation's to take away again (with
    // what an earlier installation here made).
    const InstallationRecord before = installationRecord(places_.dataHome);
    firstRegistration_ = before.directory.empty();
    std::vector<std::string> made = before.made;
    for (const std::string& p : placesItMayMake(dir))
        if (!present(p) && !holds(made, p)) made.push_back(p);
    afegirRegistre(places_.dataHome, places_.configHome, dir, made);  // reports no failure of its own
    const std::string menu = places_.dataHome + "/applications/Torvic";
    if (!places_.desktopDir.empty()) crearDrecera(dir + "torvic", places_.desktopDir, kLaunchers[0]);
    crearDrecera(dir + "torvic", menu, kLaunchers[0]);
    crearDrecera(dir + "torvic", menu, kLaunchers[1], "/manual");
    crearDrecera(dir + "torvicsetup", menu, kLaunchers[2], "/uninstall");  // the way back out
}

std::string XdgInstallation::describe(const std::error_code& error) const {
    if (error.category() != std::system_category() && error.category() != std::generic_category()) return {};
    return cp1252::toUtf8(systemErrorText(error.value()));  // the installer's texts are UTF-8
}

void XdgInstallation::undoRegistration() {
    if (firstRegistration_) desinstallar(places_.dataHome, places_.configHome, places_.desktopDir);
    firstRegistration_ = false;
}

}  // namespace torvic::xdg
