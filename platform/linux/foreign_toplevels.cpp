// The foreign toplevel protocol's window list, on a connection of its own
// read by a thread of its own (foreign_toplevels.h).
#include "platform/linux/foreign_toplevels.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/errors.h"
#include "platform/platform_texts.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace torvic {
namespace {

using Clock = std::chrono::steady_clock;

// How long a started program's first window is waited for (as long as the
// X11 backend looks for one); a window after that is not taken for its.
constexpr std::chrono::seconds kClaimLife{10};

// Whether a process has ended (gone, or a zombie not yet reaped).
bool ended(int pid) {
    if (::kill(pid, 0) < 0 && errno == ESRCH) return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && line.compare(close, 3, ") Z") == 0;
}

class Watch;

struct Toplevel {
    Watch* watch = nullptr;
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;  // null once closed
    int pid = 0;    // 0: no program of this run
    int mode = -1;  // the window mode still to give it, at its first done
    bool ready = false;
    bool maximized = false;
};

struct Claim {
    int pid;
    int mode;
    Clock::time_point until;
};

class Watch : public ForeignToplevels {
public:
    explicit Watch(wl_display* display) : display_(display) {}
    ~Watch() override;
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    // The globals and the windows already open (nobody's); then the thread.
    bool start();
    void claim(int processId, int mode) override;
    void activate(int processId) override;

private:
    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
    static void globalRemove(void*, wl_registry*, std::uint32_t) {}
    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle);
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1*);
    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states);
    static void done(void* data, zwlr_foreign_toplevel_handle_v1*);
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1*);
    static void synced(void* data, wl_callback* callback, std::uint32_t);
    static const wl_registry_listener registryListener_;
    static const zwlr_foreign_toplevel_manager_v1_listener managerListener_;
    static const zwlr_foreign_toplevel_handle_v1_listener handleListener_;
    static const wl_callback_listener syncListener_;

    void run();
    void giveMode(Toplevel& t);  // with mutex_ held

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    std::uint32_t version_ = 0;
    int stop_ = -1;
    std::thread thread_;

    std::mutex mutex_;  // everything below; taken before libwayland's own lock
    std::vector<std::unique_ptr<Toplevel>> toplevels_;  // in order of appearance
    std::deque<Claim> claims_;                           // in order of start
    std::vector<int> started_;
    bool lost_ = false;
};

void noText(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
void noOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void noParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

const wl_registry_listener Watch::registryListener_{global, globalRemove};
const zwlr_foreign_toplevel_manager_v1_listener Watch::managerListener_{toplevel, finished};
const zwlr_foreign_toplevel_handle_v1_listener Watch::handleListener_{noText,   noText, noOutput, noOutput, state,
                                                                      done,     closed, noParent};
const wl_callback_listener Watch::syncListener_{synced};

void Watch::global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                   std::uint32_t version) {
    auto* self = static_cast<Watch*>(data);
    const std::string_view i(interface);
    if (i == wl_seat_interface.name && !self->seat_) {
        self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (i == zwlr_foreign_toplevel_manager_v1_interface.name && !self->manager_) {
        self->version_ = std::min(version, 3u);
        self->manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface, self->version_));
        zwlr_foreign_toplevel_manager_v1_add_listener(self->manager_, &managerListener_, self);
    }
}

// A new window: the oldest started program still waiting for one gets it
// (one that ended without a window, as a command with none, waits no more).
void Watch::toplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
    auto* self = static_cast<Watch*>(data);
    std::lock_guard<std::mutex> lock(self->mutex_);
    auto t = std::make_unique<Toplevel>();
    t->watch = self;
    t->handle = handle;
    const Clock::time_point now = Clock::now();
    while (!self->claims_.empty() && (self->claims_.front().until < now || ended(self->claims_.front().pid)))
        self->claims_.pop_front();
    if (!self->claims_.empty()) {
        t->pid = self->claims_.front().pid;
        t->mode = self->claims_.front().mode;
        self->claims_.pop_front();
    }
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener_, t.get());
    self->toplevels_.push_back(std::move(t));
}

void Watch::finished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
    auto* self = static_cast<Watch*>(data);
    std::lock_guard<std::mutex> lock(self->mutex_);
    zwlr_foreign_toplevel_manager_v1_destroy(manager);
    self->manager_ = nullptr;
}

void Watch::state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
    auto* t = static_cast<Toplevel*>(data);
    std::lock_guard<std::mutex> lock(t->watch->mutex_);
    t->maximized = false;
    const auto* s = static_cast<const std::uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i)
        if (s[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MAXIMIZED) t->maximized = true;
}

void Watch::done(void* data, zwlr_foreign_toplevel_handle_v1*) {
    auto* t = static_cast<Toplevel*>(data);
    std::lock_guard<std::mutex> lock(t->watch->mutex_);
    if (t->ready) return;
    t->ready = true;
    if (t->mode >= 0) t->watch->giveMode(*t);
}

void Watch::closed(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
    auto* t = static_cast<Toplevel*>(data);
    Watch* self = t->watch;
    std::lock_guard<std::mutex> lock(self->mutex_);
    zwlr_foreign_toplevel_handle_v1_destroy(handle);
    t->handle = nullptr;
    // Nobody's windows are forgotten; a program's is kept to say it closed
    // (and for a full-screen check still on its way).
    if (t->pid == 0)
        self->toplevels_.erase(std::find_if(self->toplevels_.begin(), self->toplevels_.end(),
                                            [t](const std::unique_ptr<Toplevel>& p) { return p.get() == t; }));
}

// The exec window modes, as sway's IPC gives them: hidden ones minimised,
// 1 activated, 3 activated and maximised, 4 left as the compositor places it.
void Watch::giveMode(Toplevel& t) {
    if (!t.handle) return;
    switch (t.mode) {
        case 0: case 2: case 6: zwlr_foreign_toplevel_handle_v1_set_minimized(t.handle); break;
        case 1: zwlr_foreign_toplevel_handle_v1_activate(t.handle, seat_); break;
        case 3:
            zwlr_foreign_toplevel_handle_v1_activate(t.handle, seat_);
            zwlr_foreign_toplevel_handle_v1_set_maximized(t.handle);
            // A tiling compositor has no maximised windows (sway, river
            // ignore the request): once it has answered, full screen then.
            if (version_ >= 2) wl_callback_add_listener(wl_display_sync(display_), &syncListener_, &t);
            break;
        default: break;
    }
    t.mode = -1;
}

void Watch::synced(void* data, wl_callback* callback, std::uint32_t) {
    wl_callback_destroy(callback);
    auto* t = static_cast<Toplevel*>(data);
    std::lock_guard<std::mutex> lock(t->watch->mutex_);
    if (t->handle && !t->maximized) zwlr_foreign_toplevel_handle_v1_set_fullscreen(t->handle, nullptr);
}

bool Watch::start() {
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &registryListener_, this);
    // The globals, then the windows already open and their state.
    if (wl_display_roundtrip(display_) < 0 || !manager_ || !seat_ || wl_display_roundtrip(display_) < 0)
        return false;
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    if (stop_ < 0) return false;
    thread_ = std::thread(&Watch::run, this);
    return true;
}

// Reads and handles the compositor's events until told to stop (or the
// connection ends); requests from the run are written out here too.
void Watch::run() {
    const int fd = wl_display_get_fd(display_);
    for (;;) {
        bool failed = false;
        while (!failed && wl_display_prepare_read(display_) != 0) failed = wl_display_dispatch_pending(display_) < 0;
        if (failed) break;
        wl_display_flush(display_);
        pollfd p[2] = {{fd, POLLIN, 0}, {stop_, POLLIN, 0}};
        const int ready = ::poll(p, 2, -1);
        if (ready > 0 && (p[1].revents & POLLIN)) {
            wl_display_cancel_read(display_);
            return;
        }
        if (ready > 0 && (p[0].revents & POLLIN)) {
            if (wl_display_read_events(display_) < 0) break;
        } else {
            wl_display_cancel_read(display_);
            if (ready > 0 && (p[0].revents & (POLLERR | POLLHUP))) break;
        }
        if (wl_display_dispatch_pending(display_) < 0) break;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    lost_ = true;
}

Watch::~Watch() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        (void)!::write(stop_, &one, sizeof one);
        thread_.join();
    }
    if (stop_ >= 0) ::close(stop_);
    for (auto& t : toplevels_)
        if (t->handle) zwlr_foreign_toplevel_handle_v1_destroy(t->handle);
    if (manager_) {
        zwlr_foreign_toplevel_manager_v1_stop(manager_);
        zwlr_foreign_toplevel_manager_v1_destroy(manager_);
    }
    if (seat_) wl_seat_destroy(seat_);
    if (registry_) wl_registry_destroy(registry_);
    wl_display_flush(display_);
    wl_display_disconnect(display_);
}

void Watch::claim(int processId, int mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    claims_.push_back({processId, mode, Clock::now() + kClaimLife});
    started_.push_back(processId);
}

void Watch::activate(int processId) {
    const std::string id = std::to_string(processId);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (lost_) throw RunTimeError(platform_texts::waylandLost("focu"));
        if (std::find(started_.begin(), started_.end(), processId) == started_.end())
            throw RunTimeError(platform_texts::waylandUnknownProcess(id));
        auto t = std::find_if(toplevels_.begin(), toplevels_.end(), [processId](const std::unique_ptr<Toplevel>& p) {
            return p->pid == processId && p->handle;
        });
        if (t == toplevels_.end()) throw RunTimeError(platform_texts::noWindowOfProcess(id));
        zwlr_foreign_toplevel_handle_v1_activate((*t)->handle, seat_);
    }
    // The thread may be waiting for events: the request goes out now.
    wl_display_flush(display_);
}

}  // namespace

std::unique_ptr<ForeignToplevels> makeForeignToplevels() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return nullptr;
    auto watch = std::make_unique<Watch>(display);
    if (!watch->start()) return nullptr;
    return watch;
}

}  // namespace torvic
