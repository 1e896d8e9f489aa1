// Which desktop backend a session gets, chosen at the first desktop command.
#include <cstdlib>

#include "platform/linux/desktop_backend.h"
#include "platform/linux/linux_platform.h"

namespace torvic {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

std::unique_ptr<DesktopBackend> chooseDesktop(const char* what) {
    // An X11 session (or no Wayland compositor at all): the X11 backend.
    const bool wayland = isSet("WAYLAND_DISPLAY");
    if (!wayland) return makeX11Desktop(what);
    // A wlroots compositor: its virtual keyboard and pointer.
    if (auto wlroots = makeWlrootsDesktop()) return wlroots;
    // Any other Wayland session: the desktop portal (or, without one, its X
    // server, Xwayland).
    return makePortalDesktop(what);
}

DesktopBackend& LinuxPlatform::desktop(const char* what) {
    if (!desktop_) desktop_ = chooseDesktop(what);
    return *desktop_;
}

}  // namespace torvic
