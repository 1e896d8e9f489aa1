#pragma once
// Programs' windows on a wlroots compositor without an IPC of its own
// (labwc, river, Wayfire), through the foreign toplevel protocol: the list
// of every program's windows, and asking the compositor to activate,
// minimise, maximise or make one full-screen. The protocol does not say
// which process a window belongs to: a program started by exec is given
// the first window that appears after it was started (programs started
// before any of their windows appears get them in the order they started;
// one that has ended without a window is passed over).
// Its own connection and a thread of its own read the compositor's events,
// so the run never waits for a window; both end with the object.
#include <memory>

namespace torvic {

class ForeignToplevels {
public:
    virtual ~ForeignToplevels() = default;
    // A program exec has just started: its window, when it appears, is its
    // own and gets the window mode (exec's 0 to 6).
    virtual void claim(int processId, int mode) = 0;
    // Activates the window of a process started by claim(); throws
    // RunTimeError saying why when there is none.
    virtual void activate(int processId) = 0;
};

// Null when the compositor on $WAYLAND_DISPLAY lacks the protocol.
std::unique_ptr<ForeignToplevels> makeForeignToplevels();

}  // namespace torvic
