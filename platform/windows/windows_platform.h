#pragma once
// The platform on Windows: programs through CreateProcess, documents through
// ShellExecute, keys and the mouse through SendInput, power requests through
// ExitWindowsEx and SetSystemPowerState, the OEM code page through the
// system's own conversions. Names and command lines come in 1252, as
// scripts spell them, and go to the system through the wide API.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sendkeys.h"

namespace torvic {

class WindowsPlatform : public Platform {
public:
    DateTime now() override;
    void beep() override;
    double startProgram(const std::string& commandLine, int windowMode) override;
    long shellExecute(const std::string& verb, const std::string& file, int showCommand) override;
    void sendKeys(const std::string& keys, bool wait) override;
    void activateProcess(double processId) override;
    void setCursorPos(int x, int y) override;
    void cursorPos(int& x, int& y) override;
    void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override;
    bool esOSNT() override;
    bool activarPrivilegiApagada() override;
    void exitWindows(std::uint32_t flags) override;
    void setSystemPowerState(bool suspend, bool force) override;
    void copyFile(const std::string& from, const std::string& to) override;
    void xcopy(const std::string& from, const std::string& to, const std::string& switches) override;
    void oemToAnsi(std::string& text) override;
    void ansiToOem(std::string& text) override;

    // The STARTUPINFO show command of a window mode (6, minimised without
    // focus, is SW_SHOWMINNOACTIVE).
    static int showCommandOf(int windowMode);
    // One keystroke as the virtual-key and Unicode events SendInput takes:
    // `vk` and `scan` of each event, with `up` for releases. A character on
    // the keyboard layout is its virtual key (with shift, control and alt as
    // the layout needs); any other is a Unicode event.
    struct KeyEvent {
        unsigned short vk = 0;
        unsigned short unicode = 0;  // with vk 0: a KEYEVENTF_UNICODE event
        bool up = false;
        bool operator==(const KeyEvent&) const = default;
    };
    static std::vector<KeyEvent> keyEvents(const KeyStroke& stroke);
    // The virtual key of a key name of the notation ("Return", "F4"...).
    static unsigned short virtualKeyOf(const std::string& keysym);
};

}  // namespace torvic
