// Keys, the pointer and programs' windows on a wlroots compositor (sway,
// Hyprland, labwc, river, Wayfire): a virtual keyboard with a map of its own,
// a virtual pointer over the whole output layout, and the compositor's IPC
// (sway's socket, Hyprland's hyprctl) for the windows of a process and the
// pointer's place, which no Wayland protocol gives a client. Sway's IPC is
// used only where $SWAYSOCK names it. Without an IPC, the foreign toplevel
// protocol reaches the windows of the programs this run starts.
#include <linux/input-event-codes.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <thread>

#include "base/cp1252.h"
#include "base/errors.h"
#include "platform/linux/desktop_backend.h"
#include "platform/linux/foreign_toplevels.h"
#include "platform/linux/wayland_keymap.h"
#include "platform/platform.h"
#include "platform/platform_texts.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace torvic {
namespace {

std::uint32_t now() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::string envOr(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// ---- sway's IPC: a command with criteria, its reply's success and error.
struct IpcReply {
    bool reached = false;  // the socket answered
    bool success = false;
    std::string error;
};

bool writeAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool readAll(int fd, char* p, std::size_t n) {
    while (n > 0) {
        ssize_t r = ::read(fd, p, n);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

// The value of the first "key": "..." string in a JSON text (sway's replies
// are small and flat).
std::string jsonString(const std::string& json, const std::string& key) {
    std::size_t at = json.find("\"" + key + "\"");
    if (at == std::string::npos) return "";
    at = json.find('"', json.find(':', at) + 1);
    if (at == std::string::npos) return "";
    std::string out;
    for (std::size_t i = at + 1; i < json.size() && json[i] != '"'; ++i) {
        if (json[i] == '\\' && i + 1 < json.size()) ++i;
        out += json[i];
    }
    return out;
}

IpcReply swayCommand(const std::string& command) {
    IpcReply reply;
    const std::string path = envOr("SWAYSOCK");
    if (path.empty() || path.size() >= sizeof(sockaddr_un{}.sun_path)) return reply;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return reply;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    std::string message = "i3-ipc";
    const std::uint32_t header[2] = {static_cast<std::uint32_t>(command.size()), 0 /* RUN_COMMAND */};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    message += command;
    char head[14];
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        writeAll(fd, message.data(), message.size()) && readAll(fd, head, sizeof head) &&
        std::memcmp(head, "i3-ipc", 6) == 0) {
        std::uint32_t size = 0;
        std::memcpy(&size, head + 6, 4);
        std::string body(std::min<std::uint32_t>(size, 1 << 20), '\0');
        if (readAll(fd, body.data(), body.size())) {
            reply.reached = true;
            std::size_t s = body.find("\"success\"");
            if (s != std::string::npos) s = body.find_first_not_of(" \t\r\n", body.find(':', s) + 1);
            reply.success = s != std::string::npos && body.compare(s, 4, "true") == 0;
            reply.error = jsonString(body, "error");
        }
    }
    ::close(fd);
    return reply;
}

bool onSway() { return !envOr("SWAYSOCK").empty(); }
bool onHyprland() { return !envOr("HYPRLAND_INSTANCE_SIGNATURE").empty(); }

// The whole output of a command run without a shell's help (hyprctl).
std::string commandOutput(const char* const argv[]) {
    int pipefd[2];
    if (::pipe2(pipefd, O_CLOEXEC) != 0) return "";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipefd[1], 1);
        ::execvp(argv[0], const_cast<char* const*>(argv));
        ::_exit(127);
    }
    ::close(pipefd[1]);
    std::string out;
    char buf[512];
    ssize_t r;
    while ((r = ::read(pipefd[0], buf, sizeof buf)) > 0 || (r < 0 && errno == EINTR))
        if (r > 0) out.append(buf, static_cast<std::size_t>(r));
    ::close(pipefd[0]);
    if (pid > 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    return out;
}

// The exec window modes through sway's commands, on the first window of the
// process once it appears. Sway has no minimised windows: the scratchpad
// (hidden until `focu` shows it) is the nearest; a tiling layout's
// maximised window is a full-screen one.
void swayWindowMode(int pid, int mode) {
    const std::string criteria = "[pid=" + std::to_string(pid) + "] ";
    std::string command;
    switch (mode) {
        case 0: case 2: case 6: command = "move scratchpad"; break;
        case 1: command = "focus"; break;
        case 3: command = "focus, fullscreen enable"; break;
        default: command = "nop"; break;  // 4: as the compositor places it
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        IpcReply r = swayCommand(criteria + command);
        if (!r.reached || r.success) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

struct Output {
    wl_output* output = nullptr;
    std::int32_t x = 0, y = 0, width = 0, height = 0, scale = 1, transform = 0;
};

void seatCapabilities(void* data, wl_seat*, std::uint32_t capabilities);

class WlrootsDesktop : public DesktopBackend {
    friend void seatCapabilities(void*, wl_seat*, std::uint32_t);

public:
    explicit WlrootsDesktop(wl_display* display) : display_(display) {}
    ~WlrootsDesktop() override;
    WlrootsDesktop(const WlrootsDesktop&) = delete;
    WlrootsDesktop& operator=(const WlrootsDesktop&) = delete;

    // Binds what the compositor offers; false when it lacks the virtual
    // keyboard or pointer.
    bool bind();

    std::string name() const override { return "Wayland (wlroots)"; }
    void sendKeys(const std::vector<KeyStroke>& strokes, bool wait) override;
    void activateProcess(double processId) override;
    void setCursorPos(int x, int y) override;
    void cursorPos(int& x, int& y) override;
    void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override;
    void applyWindowMode(int processId, int mode) override {
        if (onSway())
            std::thread(swayWindowMode, processId, mode).detach();  // on its own socket, touching no object
        else if (toplevels_)
            toplevels_->claim(processId, mode);
    }

private:
    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
    static void globalRemove(void*, wl_registry*, std::uint32_t) {}
    static constexpr wl_registry_listener registryListener_{global, globalRemove};
    static const wl_output_listener outputListener_;
    static const wl_seat_listener seatListener_;

    void roundtrip(const char* what);
    void flush(const char* what);
    zwp_virtual_keyboard_v1* keyboard();
    zwlr_virtual_pointer_v1* pointer();
    void uploadKeymap(const OwnKeymap& map);
    void key(std::uint32_t code, bool down);
    // The output layout's box, in logical pixels.
    void layout(int& x, int& y, int& w, int& h, const char* what);

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards_ = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    std::vector<Output*> outputs_;
    std::uint32_t capabilities_ = 0;  // the seat's, before our devices
    std::unique_ptr<ForeignToplevels> toplevels_;  // without an IPC, where the compositor has them
    std::unique_ptr<DesktopBackend> x11_;  // Xwayland's, for X programs' windows
    bool xTried_ = false;
};

void seatName(void*, wl_seat*, const char*) {}
const wl_seat_listener WlrootsDesktop::seatListener_{seatCapabilities, seatName};

void outputGeometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t, std::int32_t,
                    const char*, const char*, std::int32_t transform) {
    auto* o = static_cast<Output*>(data);
    o->x = x;
    o->y = y;
    o->transform = transform;
}
void outputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t w, std::int32_t h, std::int32_t) {
    auto* o = static_cast<Output*>(data);
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        o->width = w;
        o->height = h;
    }
}
void outputDone(void*, wl_output*) {}
void outputScale(void* data, wl_output*, std::int32_t scale) { static_cast<Output*>(data)->scale = std::max(1, scale); }

void seatCapabilities(void* data, wl_seat*, std::uint32_t capabilities) {
    auto* self = static_cast<WlrootsDesktop*>(data);
    // Only what the seat had before our own devices joined it counts.
    if (!self->keyboard_ && !self->pointer_) self->capabilities_ = capabilities;
}

void outputText(void*, wl_output*, const char*) {}  // name and description (version 4, not bound)

const wl_output_listener WlrootsDesktop::outputListener_{outputGeometry, outputMode,  outputDone,
                                                         outputScale,    outputText, outputText};

void WlrootsDesktop::global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                            std::uint32_t version) {
    auto* self = static_cast<WlrootsDesktop*>(data);
    const std::string_view i(interface);
    if (i == wl_seat_interface.name && !self->seat_) {
        self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        wl_seat_add_listener(self->seat_, &seatListener_, self);
    } else if (i == zwp_virtual_keyboard_manager_v1_interface.name) {
        self->keyboards_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (i == zwlr_virtual_pointer_manager_v1_interface.name) {
        self->pointers_ = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (i == wl_output_interface.name) {
        auto* o = new Output;
        o->output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 2u)));
        wl_output_add_listener(o->output, &outputListener_, o);
        self->outputs_.push_back(o);
    }
}

bool WlrootsDesktop::bind() {
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &registryListener_, this);
    // The globals, then the outputs' geometry and modes.
    if (wl_display_roundtrip(display_) < 0 || wl_display_roundtrip(display_) < 0) return false;
    if (!(seat_ && keyboards_ && pointers_)) return false;
    if (!onSway() && !onHyprland()) toplevels_ = makeForeignToplevels();
    return true;
}

WlrootsDesktop::~WlrootsDesktop() {
    if (keyboard_) zwp_virtual_keyboard_v1_destroy(keyboard_);
    if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
    if (pointers_) zwlr_virtual_pointer_manager_v1_destroy(pointers_);
    if (keyboards_) zwp_virtual_keyboard_manager_v1_destroy(keyboards_);
    for (Output* o : outputs_) {
        wl_output_destroy(o->output);
        delete o;
    }
    if (seat_) wl_seat_destroy(seat_);
    if (registry_) wl_registry_destroy(registry_);
    wl_display_roundtrip(display_);
    wl_display_disconnect(display_);
}

void WlrootsDesktop::roundtrip(const char* what) {
    if (wl_display_roundtrip(display_) < 0) throw RunTimeError(platform_texts::waylandLost(what));
}

// Writes out what is queued, waiting for the socket when its buffer is full
// (a long text fills it faster than the compositor reads).
void WlrootsDesktop::flush(const char* what) {
    while (wl_display_flush(display_) < 0) {
        if (errno != EAGAIN) throw RunTimeError(platform_texts::waylandLost(what));
        pollfd p{wl_display_get_fd(display_), POLLOUT, 0};
        ::poll(&p, 1, 1000);
    }
}

// A seat with no keyboard (or pointer) of its own gets one with ours: its
// clients learn it from the seat and ask for it with requests of their own,
// which no round trip of ours waits for. They are given that time before
// the first event, or it would reach a client not yet listening.
constexpr std::chrono::milliseconds kNewDeviceSettle{300};

zwp_virtual_keyboard_v1* WlrootsDesktop::keyboard() {
    if (!keyboard_) {
        keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards_, seat_);
        roundtrip("send");
        if (!(capabilities_ & WL_SEAT_CAPABILITY_KEYBOARD)) std::this_thread::sleep_for(kNewDeviceSettle);
    }
    return keyboard_;
}

zwlr_virtual_pointer_v1* WlrootsDesktop::pointer() {
    if (!pointer_) {
        pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers_, seat_);
        roundtrip("mouse");
        if (!(capabilities_ & WL_SEAT_CAPABILITY_POINTER)) std::this_thread::sleep_for(kNewDeviceSettle);
    }
    return pointer_;
}

void WlrootsDesktop::uploadKeymap(const OwnKeymap& map) {
    int fd = ::memfd_create("torvic-keymap", MFD_CLOEXEC);
    if (fd < 0) throw RunTimeError(platform_texts::waylandLost("send"));
    const std::size_t size = map.text.size() + 1;  // xkb reads it as a C string
    if (!writeAll(fd, map.text.c_str(), size)) {
        ::close(fd);
        throw RunTimeError(platform_texts::waylandLost("send"));
    }
    zwp_virtual_keyboard_v1_keymap(keyboard(), WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, static_cast<std::uint32_t>(size));
    ::close(fd);
    // The compositor gives the new map to the focused window before the
    // first key: a key sent before its round trip may be read with the old one.
    roundtrip("send");
}

void WlrootsDesktop::key(std::uint32_t code, bool down) {
    zwp_virtual_keyboard_v1_key(keyboard_, now(), code - 8,
                                down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

struct Typed {
    std::uint32_t keysym = 0;
    std::uint32_t mods = 0;
    long long count = 1;
};

std::uint32_t keysymOfCharacter(char32_t c) {
    if (c == U'\r' || c == U'\n') return XKB_KEY_Return;
    if (c == U'\t') return XKB_KEY_Tab;
    return xkb_utf32_to_keysym(c);
}

void WlrootsDesktop::sendKeys(const std::vector<KeyStroke>& strokes, bool wait) {
    // An X program's window (on Xwayland) takes keys through X, which types
    // them exactly with X's own map; Xwayland does not follow the virtual
    // keyboard's map.
    if (!xTried_) {
        xTried_ = true;
        try {
            if (!envOr("DISPLAY").empty()) x11_ = makeX11Desktop("send");
        } catch (const RunTimeError&) {
        }
    }
    if (x11_ && xWindowHasFocus(*x11_)) {
        x11_->sendKeys(strokes, wait);
        return;
    }
    // Every stroke as key symbols with modifiers, checked before any key goes.
    std::vector<Typed> typed;
    for (const KeyStroke& k : strokes) {
        std::uint32_t mods = 0;
        for (const std::string& m : k.modifiers)
            mods |= m == "shift" ? kShiftMask : m == "ctrl" ? kControlMask : m == "alt" ? kAltMask : 0;
        if (!k.key.empty()) {
            std::uint32_t sym = xkb_keysym_from_name(k.key.c_str(), XKB_KEYSYM_NO_FLAGS);
            if (sym == XKB_KEY_NoSymbol) throw RunTimeError(platform_texts::noKeyFor(k.key));
            typed.push_back({sym, mods, k.repeat});
            continue;
        }
        const bool single = k.text.size() == 1;
        for (char c : k.text) {
            std::uint32_t sym = keysymOfCharacter(cp1252::toUnicode(static_cast<unsigned char>(c)));
            if (sym == XKB_KEY_NoSymbol) throw RunTimeError(platform_texts::noKeyFor(std::string(1, c)));
            // Shift with a letter types its capital, as on a keyboard.
            if (mods & kShiftMask) sym = xkb_keysym_to_upper(sym);
            typed.push_back({sym, mods, single ? k.repeat : 1});
        }
        if (!single) {
            const std::vector<Typed> once(typed.end() - static_cast<long>(k.text.size()), typed.end());
            for (int r = 1; r < k.repeat; ++r) typed.insert(typed.end(), once.begin(), once.end());
        }
    }
    // In batches of as many distinct key symbols as one map holds.
    std::size_t begin = 0;
    while (begin < typed.size()) {
        std::vector<std::uint32_t> syms;
        std::set<std::uint32_t> seen;
        std::size_t end = begin;
        for (; end < typed.size(); ++end) {
            if (seen.count(typed[end].keysym)) continue;
            if (seen.size() == kKeymapCapacity) break;
            seen.insert(typed[end].keysym);
            syms.push_back(typed[end].keysym);
        }
        OwnKeymap map = buildKeymap(syms);
        uploadKeymap(map);
        for (std::size_t i = begin; i < end; ++i) {
            const Typed& t = typed[i];
            const std::uint32_t code = map.code.at(t.keysym);
            if (t.mods) {
                if (t.mods & kShiftMask) key(kShiftCode, true);
                if (t.mods & kControlMask) key(kControlCode, true);
                if (t.mods & kAltMask) key(kAltCode, true);
                zwp_virtual_keyboard_v1_modifiers(keyboard_, t.mods, 0, 0, 0);
            }
            for (long long r = 0; r < t.count; ++r) {
                key(code, true);
                key(code, false);
                flush("send");
            }
            if (t.mods) {
                if (t.mods & kAltMask) key(kAltCode, false);
                if (t.mods & kControlMask) key(kControlCode, false);
                if (t.mods & kShiftMask) key(kShiftCode, false);
                zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
            }
        }
        // Every key of this map handled before the next map replaces it.
        roundtrip("send");
        begin = end;
    }
}

void WlrootsDesktop::activateProcess(double processId) {
    const std::string id = std::to_string(static_cast<long long>(processId));
    if (onSway()) {
        IpcReply r = processId > 0 ? swayCommand("[pid=" + id + "] focus") : IpcReply{true, false, ""};
        if (r.reached) {
            if (!r.success) throw RunTimeError(platform_texts::noWindowOfProcess(id));
            return;
        }
    }
    if (onHyprland()) {
        const std::string target = "pid:" + id;
        const char* argv[] = {"hyprctl", "dispatch", "focuswindow", target.c_str(), nullptr};
        std::string out = commandOutput(argv);
        if (out.rfind("ok", 0) == 0) return;
        throw RunTimeError(platform_texts::noWindowOfProcess(id));
    }
    if (toplevels_) return toplevels_->activate(processId > 0 && processId <= INT_MAX ? static_cast<int>(processId) : 0);
    throw RunTimeError(platform_texts::waylandNoProcessWindows(id));
}

void WlrootsDesktop::layout(int& x, int& y, int& w, int& h, const char* what) {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const Output* o : outputs_) {
        if (o->width <= 0 || o->height <= 0) continue;
        int ow = o->width / o->scale, oh = o->height / o->scale;
        if (o->transform % 2 == 1) std::swap(ow, oh);  // turned a quarter
        left = std::min(left, o->x);
        top = std::min(top, o->y);
        right = std::max(right, o->x + ow);
        bottom = std::max(bottom, o->y + oh);
    }
    if (left == INT_MAX) throw RunTimeError(platform_texts::waylandNoOutput(what));
    x = left;
    y = top;
    w = right - left;
    h = bottom - top;
}

void WlrootsDesktop::setCursorPos(int x, int y) {
    int lx, ly, lw, lh;
    layout(lx, ly, lw, lh, "mouse");
    const int px = std::clamp(x - lx, 0, lw - 1), py = std::clamp(y - ly, 0, lh - 1);
    zwlr_virtual_pointer_v1_motion_absolute(pointer(), now(), static_cast<std::uint32_t>(px),
                                            static_cast<std::uint32_t>(py), static_cast<std::uint32_t>(lw),
                                            static_cast<std::uint32_t>(lh));
    zwlr_virtual_pointer_v1_frame(pointer_);
    roundtrip("mouse");
}

void WlrootsDesktop::cursorPos(int& x, int& y) {
    // No Wayland protocol gives a client the pointer's place; Hyprland's IPC does.
    if (onHyprland()) {
        const char* argv[] = {"hyprctl", "cursorpos", nullptr};
        std::string out = commandOutput(argv);
        if (std::sscanf(out.c_str(), "%d , %d", &x, &y) == 2) return;
    }
    throw RunTimeError(platform_texts::waylandNoPointerPlace("ifmouse"));
}

void WlrootsDesktop::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) {
    zwlr_virtual_pointer_v1* p = pointer();
    if (flags & mouseflag::Move) {
        if (flags & mouseflag::Absolute) {
            // 0..65535 over the whole layout, as the compositor scales it.
            zwlr_virtual_pointer_v1_motion_absolute(p, now(), static_cast<std::uint32_t>(std::clamp(dx, 0, 65535)),
                                                    static_cast<std::uint32_t>(std::clamp(dy, 0, 65535)), 65536, 65536);
        } else {
            zwlr_virtual_pointer_v1_motion(p, now(), wl_fixed_from_int(dx), wl_fixed_from_int(dy));
        }
        zwlr_virtual_pointer_v1_frame(p);
    }
    struct {
        std::uint32_t flag;
        std::uint32_t button;
        bool down;
    } const buttons[] = {{mouseflag::LeftDown, BTN_LEFT, true},     {mouseflag::LeftUp, BTN_LEFT, false},
                         {mouseflag::RightDown, BTN_RIGHT, true},   {mouseflag::RightUp, BTN_RIGHT, false},
                         {mouseflag::MiddleDown, BTN_MIDDLE, true}, {mouseflag::MiddleUp, BTN_MIDDLE, false}};
    for (const auto& b : buttons) {
        if (!(flags & b.flag)) continue;
        zwlr_virtual_pointer_v1_button(p, now(), b.button,
                                       b.down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(p);
    }
    if ((flags & mouseflag::Wheel) && data != 0) {
        // One notch per 120, at least one; positive turns away from the user
        // (up, a negative axis value on Wayland).
        const int notches = std::max(1, std::abs(data) / 120) * (data > 0 ? -1 : 1);
        zwlr_virtual_pointer_v1_axis_source(p, WL_POINTER_AXIS_SOURCE_WHEEL);
        zwlr_virtual_pointer_v1_axis_discrete(p, now(), WL_POINTER_AXIS_VERTICAL_SCROLL, wl_fixed_from_int(15 * notches),
                                              notches);
        zwlr_virtual_pointer_v1_frame(p);
    }
    roundtrip("mouse");
}

}  // namespace

std::unique_ptr<DesktopBackend> makeWlrootsDesktop() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return nullptr;
    auto desktop = std::make_unique<WlrootsDesktop>(display);
    if (!desktop->bind()) return nullptr;
    return desktop;
}

}  // namespace torvic
