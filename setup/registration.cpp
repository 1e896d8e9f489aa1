#include "setup/registration.h"

#include <cstdlib>
#include <filesystem>

#include "base/files.h"

namespace torvic::setup {
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
    // The Exec value is a string of the desktop file: its backslashes doubled.
    std::string escaped;
    for (char c : quoted) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

std::vector<RegistryFile> registryFiles(const std::string& installDir) {
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
         "Actions=Edit;\n"
         "\n"
         "[Desktop Action Edit]\n"
         "Name=Editar\n"
         "Exec=" + program + " %f\n"},
        {"icons/hicolor/scalable/apps/torvic.svg", kIconSvg},
    };
}

void afegirRegistre(const std::string& dataHome, const std::string& installDir) {
    for (const RegistryFile& f : registryFiles(installDir)) {
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

void crearDrecera(const std::string& target, const std::string& folder, const std::string& name) {
    std::error_code ec;
    fs::create_directory(folder, ec);  // one level only; an existing one stays
    const bool program = fs::path(target).extension() != ".rtf";
    const std::string exec = program ? execArgument(target) : "xdg-open " + execArgument(target);
    writeFileSafely((fs::path(folder) / (name + ".desktop")).string(),
                    "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec +
                        "\nIcon=torvic\nTerminal=false\n");
}

}  // namespace torvic::setup
