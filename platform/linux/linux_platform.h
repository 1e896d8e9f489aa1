#pragma once
// The platform on a Linux desktop: programs started with posix_spawn, keys,
// windows and the pointer through the session's desktop backend
// (desktop_backend.h: libxdo and XTest on X11), power requests to
// systemd-logind over the D-Bus system bus. Names and command lines come in
// 1252, spelled as on Windows, and go to the system in UTF-8 with "/" for
// each backslash (systemName); a name with a drive letter is refused.
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/system.h"

namespace torvic {

class DesktopBackend;

// prepareProcess (platform/system.h) on Linux: a write beyond a file-size
// limit fails with EFBIG (and is reported) instead of ending the program
// with SIGXFSZ, and where no session bus runs, none is started on our
// behalf (an autolaunched bus would outlive the program).

// The signals that ask a program to end from outside (SIGTERM, and SIGHUP
// when its terminal or session goes), caught from now on: each arrives as
// one byte, its number, on the pipe whose read end this returns, for an
// event loop to watch; -1 when no pipe could be made (they then end the
// program as before).
int catchTerminationSignals();
// Ends the program as the signal would have (its parent sees the signal).
[[noreturn]] void endBySignal(int signal);

class LinuxPlatform : public Platform {
public:
    LinuxPlatform();
    ~LinuxPlatform() override;

    DateTime now() override;
    // The terminal bell on standard error when that is a terminal.
    void beep() override;
    double startProgram(const std::string& commandLine, int windowMode) override;
    long shellExecute(const std::string& verb, const std::string& file, int showCommand) override;
    bool canPrintDocuments() override;
    void sendKeys(const std::string& keys, bool wait) override;
    void activateProcess(double processId) override;
    void setCursorPos(int x, int y) override;
    void cursorPos(int& x, int& y) override;
    void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override;
    bool esOSNT() override { return true; }
    bool activarPrivilegiApagada() override;
    void exitWindows(std::uint32_t flags) override;
    void setSystemPowerState(bool suspend, bool force) override;
    void copyFile(const std::string& from, const std::string& to) override;
    void xcopy(const std::string& from, const std::string& to, const std::string& switches) override;

    // Splits a command line at blanks; a double-quoted group is one argument.
    static std::vector<std::string> splitCommandLine(const std::string& commandLine);
    // The system's name of the document a script gives execdoc: a name
    // between double quotes (written so for its blanks) loses them.
    static std::string documentName(const std::string& file1252);
    // The cp arguments (system names) that stand for an xcopy of `from` to
    // `to`; may create the destination folder. Empty when there is nothing
    // to copy.
    static std::vector<std::string> xcopyArguments(const std::string& from, const std::string& to,
                                                   const std::string& switches);

    std::string desktopName() override;

private:
    struct Bus;
    // The session's desktop backend, chosen at the first desktop command
    // (`what` names it for the error when there is none).
    DesktopBackend& desktop(const char* what);
    double spawn(const std::vector<std::string>& argv, bool quiet);

    std::unique_ptr<DesktopBackend> desktop_;
    std::unique_ptr<Bus> bus_;
};

}  // namespace torvic
