#pragma once
// What installing the program means on the system it runs on: where it
// goes by default, which files it ships, how the system learns of it (the
// file type, shortcuts, the way to uninstall) and what the installer window
// says of it. The installer's behaviour follows it without knowing the
// system; each system's folder under platform/ implements it.
#include <string>
#include <vector>

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
    // Removes exactly what an installation wrote and returns the directory
    // it removed from; empty when nothing was installed.
    virtual std::string uninstall() = 0;
};

}  // namespace torvic
