#pragma once
// The desktop commands' way into a Linux desktop session (internal to
// platform/linux/): one backend per kind of session, chosen at the first
// desktop command. An X11 session is reached through libxdo and XTest
// (x11_desktop.cpp); a Wayland session through the compositor's own
// protocols or the desktop portal, as each backend beside this one says.
// A backend that cannot reach what a command asks for throws RunTimeError
// with the reason: a command never does nothing silently.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/errors.h"
#include "platform/sendkeys.h"

namespace torvic {

class DesktopBackend {
public:
    virtual ~DesktopBackend() = default;

    // How the editor names it in its status line ("X11", ...), 1252.
    virtual std::string name() const = 0;

    // Types the strokes into the window with the focus; everything is
    // checked before the first key goes, so a text is never typed in part.
    virtual void sendKeys(const std::vector<KeyStroke>& strokes, bool wait) = 0;
    // Brings the first window of the process to the front.
    virtual void activateProcess(double processId) = 0;
    // The pointer, in the desktop's pixels.
    virtual void setCursorPos(int x, int y) = 0;
    virtual void cursorPos(int& x, int& y) = 0;
    // Moves (absolute 0..65535 over the whole desktop, or relative), buttons
    // and wheel, as Platform::mouseEvent takes them.
    virtual void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) = 0;
    // Gives the first window of a program started now the window mode
    // (exec's 0 to 6), when it appears: best effort, never blocking the run.
    virtual void applyWindowMode(int processId, int mode) = 0;
};

// The error of a focu that found no window of the process to bring to the
// front, naming what it found: no such process, or the process (by its
// program's name) without a window where `lookedIn` says it looked.
RunTimeError noWindowFound(double processId, const std::string& lookedIn);

// The X11 backend on $DISPLAY. `what` names the command that needs it, for
// the error when no display can be opened.
std::unique_ptr<DesktopBackend> makeX11Desktop(const char* what);

// Whether the X11 backend's display has an X window with the keyboard focus
// (on Xwayland, the active window is an X program's).
bool xWindowHasFocus(DesktopBackend& x11);

// The wlroots backend on $WAYLAND_DISPLAY: null when no compositor answers
// there or it lacks the virtual keyboard and pointer protocols.
std::unique_ptr<DesktopBackend> makeWlrootsDesktop();

// The desktop portal's backend (portal_desktop.h); where the session has no
// portal, the X11 backend on its X server (Xwayland) if it has one. Throws
// RunTimeError (naming `what`) when neither is there or the user refuses.
std::unique_ptr<DesktopBackend> makePortalDesktop(const char* what);

// The backend for this session, chosen from what it offers; throws
// RunTimeError (naming `what`) when it offers none.
std::unique_ptr<DesktopBackend> chooseDesktop(const char* what);

}  // namespace torvic
