#pragma once
// Operating-system services the script commands use. The Linux
// implementation talks to the real system; the recording fake lets tests
// see every request and set the clock by hand. Texts are code page 1252.
// Failures that a command turns into a run-time error are thrown as
// RunTimeError; the others are silent, as each method says.
#include <cstdint>
#include <string>

#include "platform/codepage850.h"
#include "base/datetime.h"
#include "platform/files.h"

namespace torvic {

// Event flags of a mouse event (move, buttons, absolute coordinates, wheel).
namespace mouseflag {
inline constexpr std::uint32_t Move = 0x0001;
inline constexpr std::uint32_t LeftDown = 0x0002;
inline constexpr std::uint32_t LeftUp = 0x0004;
inline constexpr std::uint32_t RightDown = 0x0008;
inline constexpr std::uint32_t RightUp = 0x0010;
inline constexpr std::uint32_t MiddleDown = 0x0020;
inline constexpr std::uint32_t MiddleUp = 0x0040;
inline constexpr std::uint32_t Wheel = 0x0800;
inline constexpr std::uint32_t Absolute = 0x8000;
}  // namespace mouseflag

// Exit-request flags.
namespace exitflag {
inline constexpr std::uint32_t LogOff = 0x0;
inline constexpr std::uint32_t Shutdown = 0x1;
inline constexpr std::uint32_t Reboot = 0x2;
inline constexpr std::uint32_t Force = 0x4;
inline constexpr std::uint32_t PowerOff = 0x8;
inline constexpr std::uint32_t ForceIfHung = 0x10;
}  // namespace exitflag

// Window modes a program can be started with.
inline bool isValidWindowMode(int mode) { return mode >= 0 && mode <= 6 && mode != 5; }

// The command line that xcopy stands for: "xcopy "a" "b" switches".
inline std::string xcopyCommandLine(const std::string& from, const std::string& to, const std::string& switches) {
    return "xcopy \"" + from + "\" \"" + to + "\" " + switches;
}

// Reading and writing documents comes from FileStore, and the OEM code page
// from CodePages: the real files and the shipped tables unless an
// implementation has a better way.
class Platform : public FileStore, public CodePages {
public:
    virtual ~Platform() = default;

    // Current local date and time.
    virtual DateTime now() = 0;
    // The system's default beep.
    virtual void beep() = 0;

    // Starts a command line without waiting; returns the process id. The
    // window mode (0 hidden, 1 normal with focus, 2 minimised with focus,
    // 3 maximised with focus, 4 normal without focus, 6 minimised without
    // focus) applies to the program's first window. A program that cannot
    // be started, or another mode, throws.
    virtual double startProgram(const std::string& commandLine, int windowMode) = 0;
    // Performs a shell verb ("open", "print", "explore" or "" for the
    // default action) on a document; returns the shell's result. Throws only
    // for a name no file of this system can have (a drive on Linux).
    virtual long shellExecute(const std::string& verb, const std::string& file, int showCommand) = 0;
    // Whether the "print" verb reaches a printing service (a desktop may
    // have none, and then nothing would come of it).
    virtual bool canPrintDocuments() { return true; }
    // Types keys in the key-injection notation into the focused window;
    // with `wait`, returns once they have been processed. Invalid notation throws.
    virtual void sendKeys(const std::string& keys, bool wait) = 0;
    // Brings the window of a process to the front; none throws.
    virtual void activateProcess(double processId) = 0;

    // Pointer position in screen pixels.
    virtual void setCursorPos(int x, int y) = 0;
    virtual void cursorPos(int& x, int& y) = 0;
    // One mouse event: flags of `mouseflag`, dx/dy (pixels, or 0..65535
    // with Absolute), data (the wheel amount with Wheel).
    virtual void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) = 0;
    // The name of the way the desktop commands reach the desktop ("X11",
    // ...), for the editor to say once; empty where there is no choice, or
    // until a desktop command has made it (asking never opens a display).
    virtual std::string desktopName() { return ""; }

    // Whether exit requests need the shutdown privilege first.
    virtual bool esOSNT() = 0;
    // Enables the shutdown privilege; false when that is not possible.
    virtual bool activarPrivilegiApagada() = 0;
    // Requests log off, shut down, reboot or power off (flags of `exitflag`);
    // a refused request is silent.
    virtual void exitWindows(std::uint32_t flags) = 0;
    // Power-saving state; a refused request is silent.
    virtual void setSystemPowerState(bool suspend, bool force) = 0;

    // Copies one file, replacing an existing destination; failures throw.
    virtual void copyFile(const std::string& from, const std::string& to) = 0;
    // Starts the folder copy of `xcopyCommandLine` hidden, without waiting;
    // a copy that cannot be started throws.
    virtual void xcopy(const std::string& from, const std::string& to, const std::string& switches) = 0;
};

}  // namespace torvic
