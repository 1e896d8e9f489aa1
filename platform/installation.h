#pragma once
// What installing the program means on the system it runs on: where it
// goes by default, which files it ships, how the system learns of it (the
// file type, shortcuts, the way to uninstall) and what the installer window
// says of it. The installer's behaviour follows it without knowing the
// system; each system's folder under platform/ implements it.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/files.h"

namespace torvic {

// What the installer window says of the system it installs on (UTF-8).
struct InstallNotes {
    std::string libraries;     // the note on libraries
    std::string uninstalling;  // how to uninstall
    std::string sharedFiles;   // "Info.": the shared files the program needs
    std::string byHand;        // how to install by hand, after a failure
};

struct ShippedFile {
    std::string name;
    bool required;  // the installation stands without the others
};

class Installation {
public:
    virtual ~Installation() = default;
    // The installer's own folder, which holds the files it ships.
    virtual std::string sourceDirectory() const = 0;
    // The proposed installation directory, ending with the folder separator.
    virtual std::string defaultDirectory() const = 0;
    virtual InstallNotes notes() const = 0;
    // Whether a directory typed by the user says where it is on its own
    // (a relative one, or "c:prova", does not).
    virtual bool isAbsoluteDirectory(const std::string& dir) const = 0;
    virtual std::vector<ShippedFile> shippedFiles() const = 0;
    // The file type, the shortcuts and the way back out, for an
    // installation in `dir` (ending with the separator); failures are
    // passed over, as the files themselves are what matters.
    virtual void registerInstallation(const std::string& dir) = 0;
    // The folders the installation made for `dir` (its missing parents and
    // itself), which uninstalling takes away again once empty; part of the
    // registration.
    virtual void rememberMadeFolders(const std::vector<std::string>&) {}
    // Takes back the last registerInstallation, leaving what was there
    // before it (an installation that failed afterwards).
    virtual void undoRegistration() {}
    // Removes exactly what an installation wrote and returns the directory
    // it removed from; empty when nothing was installed.
    virtual std::string uninstall() = 0;

    // The file operations of an installation, each giving the system's
    // error. One folder level: `made` says whether it was made (an existing
    // folder is no error, a file in its place is).
    virtual std::error_code makeFolder(const std::string& dir, bool& made) {
        std::error_code ec;
        made = std::filesystem::create_directory(systemPath(dir), ec);
        if (!ec && !made && !std::filesystem::is_directory(systemPath(dir), ec) && !ec)
            ec = std::make_error_code(std::errc::file_exists);  // not every library says so
        return ec;
    }
    // A copy that overwrites the target.
    virtual std::error_code copyFile(const std::string& from, const std::string& to) {
        std::error_code ec;
        // Not every library overwrites (MinGW's takes any two files for the
        // same one): the old file goes first.
        if (!std::filesystem::exists(systemPath(from), ec))
            return ec ? ec : std::make_error_code(std::errc::no_such_file_or_directory);
        if (std::filesystem::is_regular_file(systemPath(to), ec)) std::filesystem::remove(systemPath(to), ec);
        std::filesystem::copy_file(systemPath(from), systemPath(to), ec);
        return ec;
    }
    virtual void removeFile(const std::string& path) {
        std::error_code ec;
        if (!std::filesystem::is_directory(systemPath(path), ec)) std::filesystem::remove(systemPath(path), ec);
    }
    virtual void removeFolder(const std::string& dir) {  // only when empty
        std::error_code ec;
        if (std::filesystem::is_directory(systemPath(dir), ec)) std::filesystem::remove(systemPath(dir), ec);
    }
    // The system's own words (UTF-8) for an error these gave; "" when it has
    // none, and the installer says it in its own.
    virtual std::string describe(const std::error_code&) const { return {}; }
};

}  // namespace torvic
