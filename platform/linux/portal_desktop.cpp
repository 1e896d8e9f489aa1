// Keys and the pointer on a Wayland desktop without the wlroots protocols
// (GNOME, KDE), through the RemoteDesktop desktop portal over sd-bus; the
// windows and the pointer's place through KWin's scripting on KDE, and
// through the session's X server (Xwayland) for X programs elsewhere.
#include "platform/linux/portal_desktop.h"

#include <sys/mman.h>
#include <systemd/sd-bus.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "base/cp1252.h"
#include "base/errors.h"
#include "platform/files.h"
#include "platform/linux/desktop_backend.h"
#include "platform/platform.h"
#include "platform/platform_texts.h"

namespace torvic {

namespace fs = std::filesystem;

// One a{sv} entry.
struct PortalOption {
    const char* key;
    char type;  // 's', 'u' or 'b'
    std::string text;
    std::uint32_t number = 0;
};

// What a portal request's Response signal carried.
struct PortalResponse {
    bool arrived = false;
    std::uint32_t code = 2;
    std::string sessionHandle, restoreToken;
    std::uint32_t devices = 0;
    std::vector<PortalStream> streams;
};

namespace {

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kRemoteDesktop = "org.freedesktop.portal.RemoteDesktop";
constexpr const char* kScreenCast = "org.freedesktop.portal.ScreenCast";
constexpr std::uint32_t kKeyboard = 1, kPointer = 2;
constexpr std::uint32_t kPersistUntilRevoked = 2;
// The user may take a while over the portal's question.
constexpr std::uint64_t kConsentWaitUs = 180ull * 1000 * 1000;

std::string busError(const sd_bus_error& e, int r) {
    if (e.message && *e.message) return shownName(e.message);
    return shownName(std::strerror(r < 0 ? -r : r));
}

int appendOptions(sd_bus_message* m, const std::vector<PortalOption>& options) {
    int r = sd_bus_message_open_container(m, 'a', "{sv}");
    for (const PortalOption& o : options) {
        if (r < 0) break;
        const char signature[2] = {o.type, 0};
        r = sd_bus_message_open_container(m, 'e', "sv");
        if (r >= 0) r = sd_bus_message_append(m, "s", o.key);
        if (r >= 0) r = sd_bus_message_open_container(m, 'v', signature);
        if (r >= 0) {
            if (o.type == 's')
                r = sd_bus_message_append(m, "s", o.text.c_str());
            else if (o.type == 'b')
                r = sd_bus_message_append(m, "b", static_cast<int>(o.number));
            else
                r = sd_bus_message_append(m, "u", o.number);
        }
        if (r >= 0) r = sd_bus_message_close_container(m);
        if (r >= 0) r = sd_bus_message_close_container(m);
    }
    if (r >= 0) r = sd_bus_message_close_container(m);
    return r;
}

int readStreams(sd_bus_message* m, std::vector<PortalStream>& out) {
    int r = sd_bus_message_enter_container(m, 'a', "(ua{sv})");
    while (r >= 0 && (r = sd_bus_message_enter_container(m, 'r', "ua{sv}")) > 0) {
        PortalStream s;
        r = sd_bus_message_read(m, "u", &s.node);
        if (r >= 0) r = sd_bus_message_enter_container(m, 'a', "{sv}");
        while (r >= 0 && (r = sd_bus_message_enter_container(m, 'e', "sv")) > 0) {
            const char* key = nullptr;
            r = sd_bus_message_read(m, "s", &key);
            if (r >= 0 && key && (!std::strcmp(key, "position") || !std::strcmp(key, "size"))) {
                int a = 0, b = 0;
                r = sd_bus_message_read(m, "v", "(ii)", &a, &b);
                if (!std::strcmp(key, "position"))
                    s.x = a, s.y = b;
                else
                    s.width = a, s.height = b;
            } else if (r >= 0) {
                r = sd_bus_message_skip(m, "v");
            }
            if (r >= 0) r = sd_bus_message_exit_container(m);
        }
        if (r >= 0) r = sd_bus_message_exit_container(m);  // a{sv}
        if (r >= 0) r = sd_bus_message_exit_container(m);  // the struct
        if (r >= 0) out.push_back(s);
    }
    if (r >= 0) r = sd_bus_message_exit_container(m);
    return r;
}

int onResponse(sd_bus_message* m, void* data, sd_bus_error*) {
    auto* response = static_cast<PortalResponse*>(data);
    response->arrived = true;
    int r = sd_bus_message_read(m, "u", &response->code);
    if (r >= 0) r = sd_bus_message_enter_container(m, 'a', "{sv}");
    while (r >= 0 && (r = sd_bus_message_enter_container(m, 'e', "sv")) > 0) {
        const char* key = nullptr;
        r = sd_bus_message_read(m, "s", &key);
        const std::string k = key ? key : "";
        const char* text = nullptr;
        if (r < 0) break;
        if (k == "session_handle") {
            // A string in the portal's documentation, an object path in some versions.
            if (sd_bus_message_read(m, "v", "s", &text) < 0) r = sd_bus_message_read(m, "v", "o", &text);
            if (text) response->sessionHandle = text;
        } else if (k == "restore_token") {
            r = sd_bus_message_read(m, "v", "s", &text);
            if (r >= 0 && text) response->restoreToken = text;
        } else if (k == "devices") {
            r = sd_bus_message_read(m, "v", "u", &response->devices);
        } else if (k == "streams") {
            r = sd_bus_message_enter_container(m, 'v', "a(ua{sv})");
            if (r >= 0) r = readStreams(m, response->streams);
            if (r >= 0) r = sd_bus_message_exit_container(m);
        } else {
            r = sd_bus_message_skip(m, "v");
        }
        if (r >= 0) r = sd_bus_message_exit_container(m);
    }
    return 0;
}

// The keyboard map the compositor gives its clients (wl_keyboard.keymap), as
// text; empty where no compositor can be reached.
struct KeymapReader {
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    std::string keymap;

    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
        auto* self = static_cast<KeymapReader*>(data);
        if (!self->seat && std::strcmp(interface, wl_seat_interface.name) == 0)
            self->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
    static void globalRemove(void*, wl_registry*, std::uint32_t) {}
    static void capabilities(void* data, wl_seat* seat, std::uint32_t caps) {
        auto* self = static_cast<KeymapReader*>(data);
        if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !self->keyboard) {
            self->keyboard = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(self->keyboard, &keyboardListener, self);
        }
    }
    static void seatName(void*, wl_seat*, const char*) {}
    static void keymapEvent(void* data, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
        auto* self = static_cast<KeymapReader*>(data);
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
            void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (map != MAP_FAILED) {
                const char* text = static_cast<const char*>(map);
                self->keymap.assign(text, strnlen(text, size));
                munmap(map, size);
            }
        }
        close(fd);
    }
    static void enter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
    static void leave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
    static void key(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
    static void modifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                          std::uint32_t) {}
    static constexpr wl_registry_listener registryListener{global, globalRemove};
    static constexpr wl_seat_listener seatListener{capabilities, seatName};
    static constexpr wl_keyboard_listener keyboardListener{keymapEvent, enter, leave, key, modifiers, nullptr};

    static std::string read() {
        wl_display* display = wl_display_connect(nullptr);
        if (!display) return "";
        KeymapReader self;
        wl_registry* registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &registryListener, &self);
        wl_display_roundtrip(display);
        if (self.seat) {
            wl_seat_add_listener(self.seat, &seatListener, &self);
            // The capabilities, then the keyboard's map.
            for (int i = 0; i < 3 && self.keymap.empty(); ++i) wl_display_roundtrip(display);
        }
        if (self.keyboard) wl_keyboard_destroy(self.keyboard);
        if (self.seat) wl_seat_destroy(self.seat);
        wl_registry_destroy(registry);
        wl_display_disconnect(display);
        return self.keymap;
    }
};

}  // namespace

// ---- the keyboard map: which keysyms the portal can type

PortalKeyboard::PortalKeyboard() {
    context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context_) return;
    const std::string text = KeymapReader::read();
    if (!text.empty())
        keymap_ = xkb_keymap_new_from_string(context_, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                             XKB_KEYMAP_COMPILE_NO_FLAGS);
    else  // no compositor to ask: the layout the environment names (XKB_DEFAULT_*)
        keymap_ = xkb_keymap_new_from_names(context_, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap_) return;
    // The keysyms of the first layout, at every level: the portal finds the
    // key (and the modifiers of its level) for each keysym there.
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap_); code <= last; ++code) {
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap_, code, 0);
        for (xkb_level_index_t level = 0; level < levels; ++level) {
            const xkb_keysym_t* syms = nullptr;
            const int n = xkb_keymap_key_get_syms_by_level(keymap_, code, 0, level, &syms);
            for (int i = 0; i < n; ++i) onMap_.insert(syms[i]);
        }
    }
    // Dead keys compose the accented letters a map has no key of its own
    // for, as the receiving program composes them (by its locale's table).
    const char* locale = std::setlocale(LC_CTYPE, nullptr);
    std::string name = locale && std::strcmp(locale, "C") != 0 && std::strcmp(locale, "POSIX") != 0 ? locale : "";
    if (const char* env = std::getenv("LC_ALL"); name.empty() && env && *env) name = env;
    if (const char* env = std::getenv("LC_CTYPE"); name.empty() && env && *env) name = env;
    if (const char* env = std::getenv("LANG"); name.empty() && env && *env) name = env;
    if (name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0) name = "en_US.UTF-8";
    compose_ = xkb_compose_table_new_from_locale(context_, name.c_str(), XKB_COMPOSE_COMPILE_NO_FLAGS);
}

PortalKeyboard::~PortalKeyboard() {
    if (compose_) xkb_compose_table_unref(compose_);
    if (keymap_) xkb_keymap_unref(keymap_);
    if (context_) xkb_context_unref(context_);
}

std::vector<std::uint32_t> PortalKeyboard::keysymsFor(char32_t c) const {
    const xkb_keysym_t sym = xkb_utf32_to_keysym(c);
    if (sym != XKB_KEY_NoSymbol && onMap_.count(sym)) return {sym};
    if (!compose_ || sym == XKB_KEY_NoSymbol) return {};
    // A dead key of the map and a key of the map that compose into it.
    xkb_compose_state* state = xkb_compose_state_new(compose_, XKB_COMPOSE_STATE_NO_FLAGS);
    if (!state) return {};
    std::vector<std::uint32_t> found;
    for (xkb_keysym_t dead : onMap_) {
        if (dead < XKB_KEY_dead_grave || dead > XKB_KEY_dead_greek) continue;
        for (xkb_keysym_t base : onMap_) {
            xkb_compose_state_reset(state);
            xkb_compose_state_feed(state, dead);
            xkb_compose_state_feed(state, base);
            if (xkb_compose_state_get_status(state) != XKB_COMPOSE_COMPOSED) continue;
            if (sym != XKB_KEY_NoSymbol && xkb_compose_state_get_one_sym(state) == sym) {
                found = {dead, base};
                break;
            }
        }
        if (!found.empty()) break;
    }
    xkb_compose_state_unref(state);
    return found;
}

// ---- the portal's session

PortalSession::PortalSession(const char* what) : what_(what) {
    sd_bus* bus = nullptr;
    const int r = sd_bus_open_user(&bus);
    if (r < 0) throw NoPortal(platform_texts::noPortal(what_, shownName(std::strerror(-r))));
    bus_ = bus;
    const char* unique = nullptr;
    sd_bus_get_unique_name(bus_, &unique);
    // The portal names request objects by the caller: ":1.42" is "1_42".
    sender_ = unique && *unique == ':' ? unique + 1 : (unique ? unique : "");
    std::replace(sender_.begin(), sender_.end(), '.', '_');
    std::uint32_t version = 1;
    sd_bus_error e = SD_BUS_ERROR_NULL;
    const int got = sd_bus_get_property_trivial(bus_, kPortal, kPortalPath, kRemoteDesktop, "version", &e, 'u', &version);
    if (got < 0) {
        const std::string reason = busError(e, got);
        sd_bus_error_free(&e);
        bus_ = sd_bus_flush_close_unref(bus_);
        throw NoPortal(platform_texts::noPortal(what_, reason));
    }
    version_ = version;
}

PortalSession::~PortalSession() {
    if (!bus_) return;
    if (!session_.empty())
        sd_bus_call_method(bus_, kPortal, session_.c_str(), "org.freedesktop.portal.Session", "Close", nullptr,
                           nullptr, "");
    sd_bus_flush_close_unref(bus_);
}

void PortalSession::request(const char* interface, const char* method, const std::string& session,
                            std::vector<PortalOption>&& options, PortalResponse& response, bool withParentWindow) {
    const std::string token = "torvic" + std::to_string(++requests_);
    options.insert(options.begin(), PortalOption{"handle_token", 's', token});
    const std::string path = std::string(kPortalPath) + "/request/" + sender_ + "/" + token;
    sd_bus_slot* slot = nullptr;
    // Listened for before the call: the answer may come before its reply.
    int r = sd_bus_match_signal(bus_, &slot, nullptr, path.c_str(), "org.freedesktop.portal.Request", "Response",
                                onResponse, &response);
    sd_bus_message* m = nullptr;
    if (r >= 0) r = sd_bus_message_new_method_call(bus_, &m, kPortal, kPortalPath, interface, method);
    if (r >= 0 && !session.empty()) r = sd_bus_message_append(m, "o", session.c_str());
    if (r >= 0 && withParentWindow) r = sd_bus_message_append(m, "s", "");
    if (r >= 0) r = appendOptions(m, options);
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    if (r >= 0) r = sd_bus_call(bus_, m, 0, &e, &reply);
    const std::string reason = r < 0 ? busError(e, r) : "";
    sd_bus_error_free(&e);
    sd_bus_message_unref(m);
    const char* handle = nullptr;
    if (r >= 0 && sd_bus_message_read(reply, "o", &handle) >= 0 && handle && path != handle) {
        // An older portal chose the object itself: listened for there.
        sd_bus_slot_unref(slot);
        slot = nullptr;
        r = sd_bus_match_signal(bus_, &slot, nullptr, handle, "org.freedesktop.portal.Request", "Response",
                                onResponse, &response);
    }
    sd_bus_message_unref(reply);
    if (r < 0) {
        sd_bus_slot_unref(slot);
        throw RunTimeError(platform_texts::portalFailed(what_, method, reason));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(kConsentWaitUs);
    while (!response.arrived) {
        r = sd_bus_process(bus_, nullptr);
        if (r > 0) continue;
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
        if (r < 0 || left.count() <= 0) break;
        sd_bus_wait(bus_, static_cast<std::uint64_t>(left.count()));
    }
    sd_bus_slot_unref(slot);
    if (!response.arrived) throw RunTimeError(platform_texts::portalNoAnswer(what_));
    if (response.code == 1) throw RunTimeError(platform_texts::portalRefused(what_));
    if (response.code != 0) throw RunTimeError(platform_texts::portalFailed(what_, method, ""));
}

void PortalSession::start(const fs::path& tokenFile) {
    PortalResponse created;
    request(kRemoteDesktop, "CreateSession", "", {{"session_handle_token", 's', "torvic"}}, created, false);
    if (created.sessionHandle.empty()) throw RunTimeError(platform_texts::portalFailed(what_, "CreateSession", ""));
    session_ = created.sessionHandle;

    std::vector<PortalOption> devices{{"types", 'u', "", kKeyboard | kPointer}};
    if (version_ >= 2) {
        // Asked once: later runs give the token back and are not asked again.
        devices.push_back({"persist_mode", 'u', "", kPersistUntilRevoked});
        std::ifstream in(tokenFile);
        std::string token;
        if (std::getline(in, token) && !token.empty()) devices.push_back({"restore_token", 's', token});
    }
    PortalResponse selected;
    request(kRemoteDesktop, "SelectDevices", session_, std::move(devices), selected, false);

    // The screens, for moves to a place (absolute moves are given on a
    // screen's stream); a portal without them still types and clicks.
    try {
        PortalResponse sources;
        request(kScreenCast, "SelectSources", session_, {{"types", 'u', "", 1}, {"multiple", 'b', "", 1}}, sources,
                false);
    } catch (const RunTimeError&) {
    }

    PortalResponse started;
    request(kRemoteDesktop, "Start", session_, {}, started, true);
    devices_ = started.devices;
    streams_ = started.streams;
    if (!started.restoreToken.empty()) {
        std::error_code ec;
        fs::create_directories(tokenFile.parent_path(), ec);
        const fs::path temporary = tokenFile.string() + ".new";
        {
            std::ofstream out(temporary, std::ios::trunc);
            out << started.restoreToken << '\n';
        }
        fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write, ec);
        fs::rename(temporary, tokenFile, ec);
    }
}

void PortalSession::notify(const char* method, const char* signature, ...) {
    sd_bus_message* m = nullptr;
    int r = sd_bus_message_new_method_call(bus_, &m, kPortal, kPortalPath, kRemoteDesktop, method);
    if (r >= 0) r = sd_bus_message_append(m, "o", session_.c_str());
    if (r >= 0) r = appendOptions(m, {});
    if (r >= 0) {
        va_list args;
        va_start(args, signature);
        r = sd_bus_message_appendv(m, signature, args);
        va_end(args);
    }
    // Sent without waiting, in order; the replies are counted in finish().
    if (r >= 0) r = sd_bus_call_async(bus_, nullptr, m, onNotified, this, 0);
    sd_bus_message_unref(m);
    if (r < 0) {
        if (failure_.empty()) failure_ = shownName(std::strerror(-r));
        return;
    }
    ++pending_;
}

int PortalSession::onNotified(sd_bus_message* reply, void* data, sd_bus_error*) {
    auto* self = static_cast<PortalSession*>(data);
    --self->pending_;
    const sd_bus_error* e = sd_bus_message_get_error(reply);
    if (e && self->failure_.empty()) self->failure_ = shownName(e->message ? e->message : e->name);
    return 0;
}

void PortalSession::finish(const char* method) {
    while (pending_ > 0) {
        int r = sd_bus_process(bus_, nullptr);
        if (r > 0) continue;
        if (r < 0 || sd_bus_wait(bus_, 10ull * 1000 * 1000) <= 0) {
            failure_ = shownName(std::strerror(r < 0 ? -r : ETIMEDOUT));
            break;
        }
    }
    pending_ = 0;
    if (failure_.empty()) return;
    const std::string reason = failure_;
    failure_.clear();
    throw RunTimeError(platform_texts::portalFailed(what_, method, reason));
}

// ---- KWin's scripts

namespace {

constexpr const char* kKWin = "org.kde.KWin";
constexpr const char* kReportInterface = "org.torvic.Desktop";
constexpr const char* kReportPath = "/org/torvic/Desktop";

struct Report {
    bool arrived = false;
    std::string text;
};

int onReport(sd_bus_message* m, void* data, sd_bus_error*) {
    auto* report = static_cast<Report*>(data);
    const char* text = nullptr;
    if (sd_bus_message_read(m, "s", &text) >= 0 && text) report->text = text;
    report->arrived = true;
    return sd_bus_reply_method_return(m, "");
}

const sd_bus_vtable kReportVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Report", "s", "", onReport, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

// Waits (processing what comes, the callback included) until `done`.
template <typename Done>
bool waitFor(sd_bus* bus, Done done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        const int r = sd_bus_process(bus, nullptr);
        if (r > 0) continue;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
        if (r < 0 || left.count() <= 0) return false;
        sd_bus_wait(bus, static_cast<std::uint64_t>(left.count()));
    }
    return true;
}

}  // namespace

bool KWinScripts::available() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return false;
    sd_bus_message* reply = nullptr;
    int has = 0;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "NameHasOwner", nullptr, &reply, "s", kKWin) >= 0)
        sd_bus_message_read(reply, "b", &has);
    sd_bus_message_unref(reply);
    sd_bus_flush_close_unref(bus);
    return has != 0;
}

namespace {
// The reply to a script's run(): an error means the object is not there.
int onRunReply(sd_bus_message* reply, void* data, sd_bus_error*) {
    *static_cast<int*>(data) = sd_bus_message_is_method_error(reply, nullptr) ? -1 : 1;
    return 0;
}
}  // namespace

std::string KWinScripts::run(const std::string& what, const std::string& body) {
    sd_bus* bus = nullptr;
    int r = sd_bus_open_user(&bus);
    if (r < 0) throw RunTimeError(platform_texts::kwinScriptFailed(what, shownName(std::strerror(-r))));
    const std::string name = "org.torvic.Desktop.p" + std::to_string(getpid());
    Report report;
    sd_bus_slot* object = nullptr;
    r = sd_bus_add_object_vtable(bus, &object, kReportPath, kReportInterface, kReportVtable, &report);
    if (r >= 0) r = sd_bus_request_name(bus, name.c_str(), 0);
    // The script, in a file of our own only we can read.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const fs::path file = fs::path(runtime && *runtime ? runtime : "/tmp") /
                          ("torvic-kwin-" + std::to_string(getpid()) + ".js");
    {
        std::ofstream out(file, std::ios::trunc);
        out << "function report(text) { callDBus(\"" << name << "\", \"" << kReportPath << "\", \""
            << kReportInterface << "\", \"Report\", String(text)); }\n"
            << body << "\n";
    }
    std::error_code ec;
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, ec);
    const std::string plugin = "torvic" + std::to_string(getpid());
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    std::string reason;
    int id = -1;
    if (r >= 0)
        r = sd_bus_call_method(bus, kKWin, "/Scripting", "org.kde.kwin.Scripting", "loadScript", &e, &reply, "ss",
                               file.c_str(), plugin.c_str());
    if (r >= 0) r = sd_bus_message_read(reply, "i", &id);
    reply = sd_bus_message_unref(reply);
    if (r >= 0 && id < 0) r = -EINVAL;
    if (r >= 0) {
        // KWin 6 names the script's object /Scripting/ScriptN, KWin 5 /N.
        // Run without waiting: the script calls us back meanwhile.
        const std::string paths[] = {"/Scripting/Script" + std::to_string(id), "/" + std::to_string(id)};
        for (const std::string& path : paths) {
            int ran = 0;
            sd_bus_slot* call = nullptr;
            r = sd_bus_call_method_async(bus, &call, kKWin, path.c_str(), "org.kde.kwin.Script", "run", onRunReply,
                                         &ran, "");
            // The report comes while the script runs; a run refused (no
            // such object) tries the other name.
            if (r >= 0) waitFor(bus, [&] { return report.arrived || ran < 0; }, std::chrono::seconds(10));
            sd_bus_slot_unref(call);
            if (report.arrived) break;
        }
    }
    if (r < 0) reason = busError(e, r);
    sd_bus_error_free(&e);
    sd_bus_call_method(bus, kKWin, "/Scripting", "org.kde.kwin.Scripting", "unloadScript", nullptr, nullptr, "s",
                       plugin.c_str());
    fs::remove(file, ec);
    sd_bus_slot_unref(object);
    sd_bus_flush_close_unref(bus);
    if (!report.arrived)
        throw RunTimeError(platform_texts::kwinScriptFailed(what, reason.empty() ? platform_texts::noAnswer() : reason));
    return report.text;
}

// ---- the backend

namespace {

std::string stateFolder() {
    if (const char* s = std::getenv("XDG_STATE_HOME"); s && *s) return s;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/state";
}

// Whether XDG_CURRENT_DESKTOP (a list separated by colons) names it.
bool desktopIs(const char* name) {
    const char* d = std::getenv("XDG_CURRENT_DESKTOP");
    return d && (":" + std::string(d) + ":").find(":" + std::string(name) + ":") != std::string::npos;
}

}  // namespace

fs::path portalTokenFile() { return fs::path(stateFolder()) / "torvic" / "portal-restore-token"; }

PortalDesktop::PortalDesktop(const char* what) : session_(what) {
    session_.start(portalTokenFile());
    kwin_ = KWinScripts::available();
    if (const char* d = std::getenv("DISPLAY"); d && *d) {
        try {
            xwayland_ = makeX11Desktop(what);
        } catch (const RunTimeError&) {
        }
    }
}

std::string PortalDesktop::name() const { return L1252("el portal d'escriptori (RemoteDesktop)"); }

void PortalDesktop::sendKeys(const std::vector<KeyStroke>& strokes, bool) {
    if (!(session_.devices() & kKeyboard)) throw RunTimeError(platform_texts::portalNoKeyboard());
    // Every keysym first: a text the map cannot type is refused whole.
    // Repeats stay counts ({LEFT 1000} is one stroke here too).
    struct Stroke {
        std::vector<std::uint32_t> held;               // modifiers held around each key
        std::vector<std::vector<std::uint32_t>> keys;  // the keysyms of each key (a dead key and its letter)
        int repeat = 1;
    };
    std::vector<Stroke> planned;
    std::string missing;
    for (const KeyStroke& k : strokes) {
        Stroke p;
        p.repeat = k.repeat;
        for (const std::string& m : k.modifiers)
            p.held.push_back(m == "shift" ? XKB_KEY_Shift_L : m == "ctrl" ? XKB_KEY_Control_L : XKB_KEY_Alt_L);
        if (!k.key.empty()) {
            const xkb_keysym_t sym = xkb_keysym_from_name(k.key.c_str(), XKB_KEYSYM_NO_FLAGS);
            if (sym == XKB_KEY_NoSymbol) throw RunTimeError(platform_texts::unknownKey(k.key));
            p.keys.push_back({sym});
        } else {
            for (char c : k.text) {
                std::vector<std::uint32_t> syms = keyboard_.keysymsFor(cp1252::toUnicode(static_cast<unsigned char>(c)));
                if (syms.empty() && missing.find(c) == std::string::npos) missing += c;
                p.keys.push_back(std::move(syms));
            }
        }
        planned.push_back(std::move(p));
    }
    if (!missing.empty()) throw RunTimeError(platform_texts::portalCannotType(missing));
    // One key event at a time, each answered before the next: GNOME's
    // compositor mixes up presses and releases that come in a stream
    // (keys doubled, dropped, Shift left held).
    auto key = [this](std::uint32_t sym, std::uint32_t pressed) {
        session_.notify("NotifyKeyboardKeysym", "iu", static_cast<int>(sym), pressed);
        session_.finish("NotifyKeyboardKeysym");
    };
    for (const Stroke& p : planned) {
        for (int r = 0; r < p.repeat; ++r) {
            for (const auto& syms : p.keys) {
                for (std::uint32_t m : p.held) key(m, 1u);
                for (std::uint32_t sym : syms) {
                    key(sym, 1u);
                    key(sym, 0u);
                }
                for (auto m = p.held.rbegin(); m != p.held.rend(); ++m) key(*m, 0u);
            }
        }
    }
}

void PortalDesktop::activateProcess(double processId) {
    // KDE: KWin brings any window of the process (native or X) to the front.
    if (kwin_) {
        const std::string pid = std::to_string(static_cast<long long>(processId));
        const std::string found = KWinScripts::run(
            "focu",
            "var all = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"
            "var found = null;\n"
            "for (var i = 0; i < all.length && !found; ++i)\n"
            "    if (all[i].pid == " + pid + " && all[i].normalWindow) found = all[i];\n"
            "if (found) { if (workspace.windowList) workspace.activeWindow = found; else workspace.activeClient = found; }\n"
            "report(found ? 'found' : 'none');");
        if (found == "found") return;
        throw noWindowFound(processId, platform_texts::inKWin());
    }
    // Elsewhere X programs through Xwayland; a native window is out of any
    // program's reach through the portal.
    if (xwayland_) {
        try {
            xwayland_->activateProcess(processId);
            return;
        } catch (const RunTimeError&) {
        }
    }
    throw noWindowFound(processId, platform_texts::nativeWindowsOutOfReach(desktopIs("KDE") ? "KDE" : desktopIs("GNOME") ? "GNOME" : ""));
}

void PortalDesktop::movePointerTo(int x, int y) {
    if (!(session_.devices() & kPointer)) throw RunTimeError(platform_texts::portalNoPointer());
    for (const PortalStream& s : session_.streams()) {
        if (x >= s.x && y >= s.y && x < s.x + s.width && y < s.y + s.height) {
            session_.notify("NotifyPointerMotionAbsolute", "udd", s.node, static_cast<double>(x - s.x),
                            static_cast<double>(y - s.y));
            session_.finish("NotifyPointerMotionAbsolute");
            return;
        }
    }
    throw RunTimeError(platform_texts::portalNoScreenAt(x, y));
}

void PortalDesktop::setCursorPos(int x, int y) { movePointerTo(x, y); }

void PortalDesktop::cursorPos(int& x, int& y) {
    if (kwin_) {
        const std::string place = KWinScripts::run("ifmouse", "report(workspace.cursorPos.x + ',' + workspace.cursorPos.y);");
        if (std::sscanf(place.c_str(), "%d,%d", &x, &y) == 2) return;
        throw RunTimeError(platform_texts::kwinScriptFailed("ifmouse", shownName(place)));
    }
    throw RunTimeError(platform_texts::pointerOutOfReach(desktopIs("KDE") ? "KDE" : desktopIs("GNOME") ? "GNOME" : ""));
}

void PortalDesktop::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) {
    if (!(session_.devices() & kPointer)) throw RunTimeError(platform_texts::portalNoPointer());
    if (flags & mouseflag::Move) {
        if (flags & mouseflag::Absolute) {
            // 0..65535 over the box that holds every screen.
            int left = 0, top = 0, right = 0, bottom = 0;
            bool any = false;
            for (const PortalStream& s : session_.streams()) {
                left = any ? std::min(left, s.x) : s.x;
                top = any ? std::min(top, s.y) : s.y;
                right = any ? std::max(right, s.x + s.width) : s.x + s.width;
                bottom = any ? std::max(bottom, s.y + s.height) : s.y + s.height;
                any = true;
            }
            if (!any) throw RunTimeError(platform_texts::portalNoScreenAt(dx, dy));
            movePointerTo(left + static_cast<int>(static_cast<long long>(dx) * (right - left) / 65536),
                          top + static_cast<int>(static_cast<long long>(dy) * (bottom - top) / 65536));
        } else {
            session_.notify("NotifyPointerMotion", "dd", static_cast<double>(dx), static_cast<double>(dy));
        }
    }
    // Linux input's button codes: left BTN_LEFT, right BTN_RIGHT, middle BTN_MIDDLE.
    struct {
        std::uint32_t flag;
        int button;
        std::uint32_t state;
    } const buttons[] = {{mouseflag::LeftDown, 0x110, 1},  {mouseflag::LeftUp, 0x110, 0},
                         {mouseflag::RightDown, 0x111, 1}, {mouseflag::RightUp, 0x111, 0},
                         {mouseflag::MiddleDown, 0x112, 1}, {mouseflag::MiddleUp, 0x112, 0}};
    // Each event answered before the next, as the keys are: a press and its
    // release in one stream can be taken out of order.
    for (const auto& b : buttons) {
        if (!(flags & b.flag)) continue;
        session_.notify("NotifyPointerButton", "iu", b.button, b.state);
        session_.finish("NotifyPointerButton");
    }
    if ((flags & mouseflag::Wheel) && data != 0) {
        // One notch per 120, at least one; positive turns away from the user
        // (a negative step on the vertical axis, 0).
        const int notches = std::max(1, std::abs(data) / 120);
        session_.notify("NotifyPointerAxisDiscrete", "ui", 0u, data > 0 ? -notches : notches);
    }
    session_.finish("NotifyPointer");
}

void PortalDesktop::applyWindowMode(int processId, int mode) {
    if (xwayland_) xwayland_->applyWindowMode(processId, mode);
}

std::unique_ptr<DesktopBackend> makePortalDesktop(const char* what) {
    try {
        return std::make_unique<PortalDesktop>(what);
    } catch (const NoPortal&) {
        // No portal at all: the session's X server (Xwayland) reaches its
        // own programs at least; without one, the portal's reason.
        const char* d = std::getenv("DISPLAY");
        if (!d || !*d) throw;
        return makeX11Desktop(what);
    }
}

}  // namespace torvic
