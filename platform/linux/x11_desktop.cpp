// Programs' windows, keys and the pointer on an X11 desktop, through libxdo.
extern "C" {
#include <xdo.h>
}
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "base/cp1252.h"
#include "base/errors.h"
#include "platform/linux/linux_platform.h"
#include "platform/files.h"
#include "platform/platform_texts.h"
#include "platform/sendkeys.h"
#include "platform/linux/desktop_backend.h"
#include "platform/linux/x11_typist.h"

namespace torvic {
namespace {

constexpr useconds_t kKeyDelay = 12000;  // between keystrokes, as a person types

[[noreturn]] void noDisplay(const char* what) {
    const char* d = std::getenv("DISPLAY");
    if (!d || !*d) throw RunTimeError(platform_texts::needsDisplayUnset(what));
    throw RunTimeError(platform_texts::needsDisplayUnopened(what, shownName(d)));
}

// Windows come and go while we look at them: an error about one that is
// gone must not end the program (Xlib's default handler exits).
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// A window property as a list of 32-bit items (held in longs, as Xlib gives
// them); empty when the window does not have it.
std::vector<unsigned long> longProperty(Display* d, Window w, const char* name, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> out;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 4096, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        out.assign(items, items + count);
    }
    if (data) XFree(data);
    return out;
}

// Windows of a process (by _NET_WM_PID), top-level ones first.
std::vector<Window> windowsOf(Display* d, int pid) {
    std::vector<Window> out;
    std::vector<Window> level{DefaultRootWindow(d)};
    while (!level.empty()) {
        std::vector<Window> next;
        for (Window parent : level) {
            Window root = 0, up = 0;
            Window* children = nullptr;
            unsigned int n = 0;
            if (!XQueryTree(d, parent, &root, &up, &children, &n)) continue;
            for (unsigned int i = 0; i < n; ++i) {
                std::vector<unsigned long> owner = longProperty(d, children[i], "_NET_WM_PID", XA_CARDINAL);
                if (!owner.empty() && owner[0] == static_cast<unsigned long>(pid)) out.push_back(children[i]);
                next.push_back(children[i]);
            }
            if (children) XFree(children);
        }
        level = std::move(next);
    }
    return out;
}

void sendToRoot(Display* d, Window w, const char* message, long a, long b, long c) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, message, False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = a;
    e.xclient.data.l[1] = b;
    e.xclient.data.l[2] = c;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

void bringToFront(Display* d, Window w) {
    // Through the window manager where it offers _NET_ACTIVE_WINDOW (as a
    // pager would ask); without one, raise and focus the window ourselves.
    const Atom active = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    std::vector<unsigned long> supported = longProperty(d, DefaultRootWindow(d), "_NET_SUPPORTED", XA_ATOM);
    if (std::find(supported.begin(), supported.end(), active) != supported.end()) {
        sendToRoot(d, w, "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
    } else {
        XMapRaised(d, w);
        XSetInputFocus(d, w, RevertToParent, CurrentTime);
    }
    XFlush(d);
}

void maximise(Display* d, Window w) {
    sendToRoot(d, w, "_NET_WM_STATE", 1 /* add */,
               static_cast<long>(XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
               static_cast<long>(XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_HORZ", False)));
    XFlush(d);
}

// Waits (on its own connection, never blocking the run) for the first window
// of a started program and gives it the window mode.
void applyWindowMode(int pid, int mode) {
    XSetErrorHandler(ignoreXError);
    Display* d = XOpenDisplay(nullptr);
    if (!d) return;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::vector<Window> ws = windowsOf(d, pid);
        if (!ws.empty()) {
            Window w = ws.front();
            const int screen = DefaultScreen(d);
            switch (mode) {
                case 0: XUnmapWindow(d, w); break;
                case 1: bringToFront(d, w); break;
                case 2: bringToFront(d, w); XIconifyWindow(d, w, screen); break;
                case 3: maximise(d, w); bringToFront(d, w); break;
                case 6: XIconifyWindow(d, w, screen); break;
                default: break;  // 4: normal, focus left where it is
            }
            XFlush(d);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    XCloseDisplay(d);
}

// The X keysym name of a 1252 character, for keystrokes with modifiers.
std::string keysymName(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')) return std::string(1, c);
    char buf[16];
    std::snprintf(buf, sizeof buf, "U%04X", static_cast<unsigned>(cp1252::toUnicode(u)));
    return buf;
}

// Whether Xwayland's pointer is live. Xwayland hears of the pointer only
// while it is over an X window; over a native one X keeps the last place it
// had and puts the pointer on the root window (which nobody sees on a Wayland
// desktop). Its place is stale then, and stays stale when X windows come and
// go under it, even if one takes it (and a pointer that comes into an X
// window crosses the root alike). So it is live only once the pointer has
// moved over an X window (X's raw motion) and not gone back to the root
// since: watched, from the backend's start, on a connection and a thread of
// its own.
class XwaylandPointer {
public:
    XwaylandPointer() {
        display_ = XOpenDisplay(nullptr);
        int opcode = 0, event = 0, error = 0, major = 2, minor = 0;
        if (!display_ || !XQueryExtension(display_, "XInputExtension", &opcode, &event, &error) ||
            XIQueryVersion(display_, &major, &minor) != Success)
            return;
        opcode_ = opcode;
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawMotion);
        XISetMask(bits, XI_Enter);
        XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
        XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
        XSync(display_, False);
        stop_ = ::eventfd(0, EFD_CLOEXEC);
        if (stop_ >= 0) thread_ = std::thread(&XwaylandPointer::run, this);
    }
    ~XwaylandPointer() {
        if (thread_.joinable()) {
            const std::uint64_t one = 1;
            (void)!::write(stop_, &one, sizeof one);
            thread_.join();
        }
        if (stop_ >= 0) ::close(stop_);
        if (display_) XCloseDisplay(display_);
    }
    XwaylandPointer(const XwaylandPointer&) = delete;
    XwaylandPointer& operator=(const XwaylandPointer&) = delete;

    bool live() const { return live_; }

private:
    void run() {
        pollfd p[2] = {{ConnectionNumber(display_), POLLIN, 0}, {stop_, POLLIN, 0}};
        for (;;) {
            while (XPending(display_)) {
                XEvent e;
                XNextEvent(display_, &e);
                if (e.type != GenericEvent || e.xcookie.extension != opcode_ || !XGetEventData(display_, &e.xcookie))
                    continue;
                if (e.xcookie.evtype == XI_RawMotion) {
                    live_ = true;
                } else if (static_cast<const XIEnterEvent*>(e.xcookie.data)->detail == XINotifyInferior) {
                    live_ = false;  // into the root window itself, from one of its windows
                }
                XFreeEventData(display_, &e.xcookie);
            }
            p[0].revents = p[1].revents = 0;
            if (::poll(p, 2, -1) < 0 && errno != EINTR) return;
            if (p[1].revents & POLLIN) return;
            if (p[0].revents & (POLLERR | POLLHUP)) return;
        }
    }

    Display* display_ = nullptr;
    int opcode_ = -1;
    int stop_ = -1;
    std::atomic<bool> live_{false};
    std::thread thread_;
};

// The X11 session through libxdo, on a connection of its own.
class X11Desktop : public DesktopBackend {
public:
    explicit X11Desktop(xdo_t* xdo) : xdo_(xdo) {
        const char* w = std::getenv("WAYLAND_DISPLAY");
        xwayland_ = w && *w;
        if (xwayland_) pointer_ = std::make_unique<XwaylandPointer>();
    }
    ~X11Desktop() override { xdo_free(xdo_); }
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    std::string name() const override { return "X11"; }
    void sendKeys(const std::vector<KeyStroke>& strokes, bool wait) override;
    void activateProcess(double processId) override;
    void setCursorPos(int x, int y) override;
    void cursorPos(int& x, int& y) override;
    void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override;
    void applyWindowMode(int processId, int mode) override {
        std::thread(torvic::applyWindowMode, processId, mode).detach();
    }

private:
    // On a Wayland session X reaches only the windows of X programs: with a
    // native window active, Xwayland has no X window with the focus, and
    // keys or clicks would go nowhere. Throws then, before anything is done.
    void requireXWindow(const char* what) const;

public:
    // Whether an X window has the keyboard focus (on Xwayland: the active
    // window is an X program's).
    bool focusIsAWindow() const;

private:

    xdo_t* xdo_;
    bool xwayland_ = false;
    std::unique_ptr<XwaylandPointer> pointer_;  // on Xwayland
};

bool X11Desktop::focusIsAWindow() const {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(xdo_->xdpy, &focus, &revert);
    return focus != None && focus != PointerRoot;
}

void X11Desktop::requireXWindow(const char* what) const {
    if (xwayland_ && !focusIsAWindow()) throw RunTimeError(platform_texts::notAnXWindow(what));
}

void X11Desktop::sendKeys(const std::vector<KeyStroke>& strokes, bool wait) {
    // Plain characters are typed by the typist; everything it will type is
    // checked before the first key goes, so a text is never typed in part.
    requireXWindow("send");
    X11Typist typist(xdo_->xdpy);
    std::vector<std::u32string> texts(strokes.size());
    std::u32string all;
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        const KeyStroke& k = strokes[i];
        if (!k.key.empty() || !k.modifiers.empty()) continue;
        for (int r = 0; r < k.repeat; ++r)
            for (char c : k.text) texts[i] += cp1252::toUnicode(static_cast<unsigned char>(c));
        all += texts[i];
    }
    typist.check(all);
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        const KeyStroke& k = strokes[i];
        std::string mods;
        for (const std::string& m : k.modifiers) mods += m + "+";
        if (k.key.empty() && mods.empty()) {
            typist.type(texts[i]);
            continue;
        }
        for (int r = 0; r < k.repeat; ++r) {
            if (!k.key.empty()) {
                xdo_send_keysequence_window(xdo_, CURRENTWINDOW, (mods + k.key).c_str(), kKeyDelay);
            } else {
                for (char c : k.text)
                    xdo_send_keysequence_window(xdo_, CURRENTWINDOW, (mods + keysymName(c)).c_str(), kKeyDelay);
            }
        }
    }
    XSync(xdo_->xdpy, False);
    if (wait) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

void X11Desktop::activateProcess(double processId) {
    Display* d = xdo_->xdpy;
    std::vector<Window> ws = processId > 0 ? windowsOf(d, static_cast<int>(processId)) : std::vector<Window>{};
    if (ws.empty()) {
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        const std::string display = shownName(DisplayString(d));
        throw noWindowFound(processId, wayland && *wayland ? platform_texts::onXwaylandDisplay(display)
                                                           : platform_texts::onXDisplay(display));
    }
    bringToFront(d, ws.front());
}

void X11Desktop::setCursorPos(int x, int y) {
    requireXWindow("mouse");
    xdo_move_mouse(xdo_, x, y, 0);
    XSync(xdo_->xdpy, False);
}

void X11Desktop::cursorPos(int& x, int& y) {
    if (!xwayland_) {
        int screen = 0;
        xdo_get_mouse_location(xdo_, &x, &y, &screen);
        return;
    }
    // Xwayland's place only while it is live (XwaylandPointer), and over an
    // X window now.
    Display* d = xdo_->xdpy;
    Window root = None, child = None;
    int wx = 0, wy = 0;
    unsigned int buttons = 0;
    if (!pointer_->live() || !XQueryPointer(d, DefaultRootWindow(d), &root, &child, &x, &y, &wx, &wy, &buttons) ||
        child == None)
        throw RunTimeError(platform_texts::xwaylandPointerUnknown("ifmouse"));
}

void X11Desktop::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) {
    requireXWindow("mouse");
    if (flags & mouseflag::Move) {
        if (flags & mouseflag::Absolute) {
            unsigned int w = 0, h = 0;
            xdo_get_viewport_dimensions(xdo_, &w, &h, 0);
            xdo_move_mouse(xdo_, static_cast<int>(static_cast<long long>(dx) * w / 65536),
                           static_cast<int>(static_cast<long long>(dy) * h / 65536), 0);
        } else {
            xdo_move_mouse_relative(xdo_, dx, dy);
        }
    }
    // Buttons in the order of their flags; X numbers them left 1, middle 2, right 3.
    struct {
        std::uint32_t flag;
        int button;
        bool down;
    } const buttons[] = {{mouseflag::LeftDown, 1, true},   {mouseflag::LeftUp, 1, false},
                         {mouseflag::RightDown, 3, true},  {mouseflag::RightUp, 3, false},
                         {mouseflag::MiddleDown, 2, true}, {mouseflag::MiddleUp, 2, false}};
    for (const auto& b : buttons) {
        if (!(flags & b.flag)) continue;
        if (b.down)
            xdo_mouse_down(xdo_, CURRENTWINDOW, b.button);
        else
            xdo_mouse_up(xdo_, CURRENTWINDOW, b.button);
    }
    if ((flags & mouseflag::Wheel) && data != 0) {
        // One notch per 120, at least one; positive turns away from the user.
        int notches = std::max(1, std::abs(data) / 120);
        for (int i = 0; i < notches; ++i) xdo_click_window(xdo_, CURRENTWINDOW, data > 0 ? 4 : 5);
    }
    XSync(xdo_->xdpy, False);
}

}  // namespace

bool xWindowHasFocus(DesktopBackend& x11) {
    auto* x = dynamic_cast<X11Desktop*>(&x11);
    return x && x->focusIsAWindow();
}

std::unique_ptr<DesktopBackend> makeX11Desktop(const char* what) {
    const char* d = std::getenv("DISPLAY");
    XSetErrorHandler(ignoreXError);
    xdo_t* xdo = d && *d ? xdo_new(nullptr) : nullptr;
    if (!xdo) noDisplay(what);
    return std::make_unique<X11Desktop>(xdo);
}

double LinuxPlatform::startProgram(const std::string& commandLine, int windowMode) {
    if (!isValidWindowMode(windowMode)) throw RunTimeError(platform_texts::invalidWindowMode());
    // The system takes names in UTF-8, with "/" between folders: the line is
    // converted before it is cut.
    std::vector<std::string> argv = splitCommandLine(systemName(commandLine));
    if (argv.empty()) throw RunTimeError(platform_texts::emptyCommandLine());
    for (const std::string& a : argv) {
        if (std::string why = driveError(a); !why.empty()) {
            if (&a != &argv[0]) why = "'" + shownName(a) + "': " + why;  // an argument's drive
            throw RunTimeError(platform_texts::cannotStart(shownName(argv[0]), why));
        }
    }
    double pid = spawn(argv, windowMode == 0);
    // The window mode where a desktop can be reached; a program with no
    // desktop (a console runner on a server) just starts.
    try {
        desktop("exec").applyWindowMode(static_cast<int>(pid), windowMode);
    } catch (const RunTimeError&) {
    }
    return pid;
}

void LinuxPlatform::sendKeys(const std::string& keys, bool wait) {
    // The desktop first: without one, nothing of the notation is worked out.
    DesktopBackend& backend = desktop("send");
    backend.sendKeys(parseSendKeys(keys), wait);
}

void LinuxPlatform::activateProcess(double processId) { desktop("focu").activateProcess(processId); }

void LinuxPlatform::setCursorPos(int x, int y) { desktop("mouse").setCursorPos(x, y); }

void LinuxPlatform::cursorPos(int& x, int& y) { desktop("ifmouse").cursorPos(x, y); }

void LinuxPlatform::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) {
    desktop("mouse").mouseEvent(flags, dx, dy, data);
}

std::string LinuxPlatform::desktopName() { return desktop_ ? desktop_->name() : ""; }

}  // namespace torvic
