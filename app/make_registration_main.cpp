// make_registration: writes the system-wide registration files of the
// Debian package (mime type, desktop entries, icon) under a folder, naming
// the programs as they are found on the PATH.
#include <cstdio>
#include <filesystem>

#include "platform/files.h"
#include "platform/linux/xdg_registration.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_registration OUTPUT_FOLDER\n");
        return 2;
    }
    std::vector<torvic::xdg::RegistryFile> files = torvic::xdg::registryFiles("");
    // The package's menu entries: the editor and its manual.
    files.push_back({"applications/torvic-editor.desktop",
                     torvic::xdg::launcherEntry("Editor de Programes Torvic", "torvic")});
    files.push_back({"applications/torvic-manual.desktop",
                     torvic::xdg::launcherEntry("Documentació del Torvic", "torvic /manual")});
    for (const torvic::xdg::RegistryFile& f : files) {
        const std::filesystem::path path = std::filesystem::path(argv[1]) / f.path;
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        std::string error;
        if (!torvic::writeFileSafely(path.string(), f.contents, &error)) {
            std::fprintf(stderr, "make_registration: %s: %s\n", path.c_str(), error.c_str());
            return 1;
        }
    }
    return 0;
}
