#pragma once
// The desktop portal's backend (internal to platform/linux/): keys, moves,
// buttons and the wheel through org.freedesktop.portal.RemoteDesktop, for a
// Wayland session whose compositor offers no input protocols to clients
// (GNOME, KDE). The user is asked once; the portal's restore token, kept
// under $XDG_STATE_HOME/torvic/, spares the question on later runs.
#include <cstdarg>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/desktop_backend.h"

#include <systemd/sd-bus.h>

struct xkb_context;
struct xkb_keymap;
struct xkb_compose_table;

namespace torvic {

// Which keysyms the portal can type: those on the compositor's keyboard map
// (the portal finds their keys), and accented letters a dead key of the
// map composes. Without a compositor to ask, the map the environment names.
class PortalKeyboard {
public:
    PortalKeyboard();
    ~PortalKeyboard();
    PortalKeyboard(const PortalKeyboard&) = delete;
    PortalKeyboard& operator=(const PortalKeyboard&) = delete;
    // The keysyms that type `c`, in order; empty when the map cannot.
    std::vector<std::uint32_t> keysymsFor(char32_t c) const;

private:
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_compose_table* compose_ = nullptr;
    std::set<std::uint32_t> onMap_;
};

// A screen of the session: absolute moves are given on its stream.
struct PortalStream {
    std::uint32_t node = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

struct PortalOption;
struct PortalResponse;

// The session has no portal to ask (no session bus, or no RemoteDesktop
// on it): another way may serve, as a refusal would not.
class NoPortal : public RunTimeError {
public:
    using RunTimeError::RunTimeError;
};

// A RemoteDesktop session on the session bus: the Request/Response
// exchanges that start it, and the input calls, sent in order without
// waiting and checked together.
class PortalSession {
public:
    explicit PortalSession(const char* what);
    ~PortalSession();
    PortalSession(const PortalSession&) = delete;
    PortalSession& operator=(const PortalSession&) = delete;

    // Asks for the keyboard and the pointer (and the screens), giving back
    // the token in `tokenFile` and keeping the new one there. A refusal or
    // no answer throws with the reason.
    void start(const std::filesystem::path& tokenFile);
    std::uint32_t devices() const { return devices_; }
    const std::vector<PortalStream>& streams() const { return streams_; }
    // One input call (after the session and its empty options).
    void notify(const char* method, const char* signature, ...);
    // Waits for the replies of the calls sent; a failed one throws.
    void finish(const char* method);

private:
    void request(const char* interface, const char* method, const std::string& session,
                 std::vector<PortalOption>&& options, PortalResponse& response, bool withParentWindow);
    static int onNotified(sd_bus_message* reply, void* data, sd_bus_error* error);

    std::string what_;
    sd_bus* bus_ = nullptr;
    std::string sender_, session_;
    std::uint32_t version_ = 1, devices_ = 0;
    std::vector<PortalStream> streams_;
    int requests_ = 0, pending_ = 0;
    std::string failure_;
};

// KWin's scripting over D-Bus (KDE's compositor): a script is loaded, run,
// and calls back a method of ours with what it found. Windows and the
// pointer's place, which the portal does not reach.
class KWinScripts {
public:
    // Whether the session bus has KWin's scripting.
    static bool available();
    // Runs the script `body`, in which report(text) gives its answer; throws
    // RunTimeError (naming `what`) when it cannot be run or does not answer.
    static std::string run(const std::string& what, const std::string& body);
};

class PortalDesktop : public DesktopBackend {
public:
    explicit PortalDesktop(const char* what);
    std::string name() const override;
    void sendKeys(const std::vector<KeyStroke>& strokes, bool wait) override;
    void activateProcess(double processId) override;
    void setCursorPos(int x, int y) override;
    void cursorPos(int& x, int& y) override;
    void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override;
    void applyWindowMode(int processId, int mode) override;

private:
    void movePointerTo(int x, int y);

    PortalSession session_;
    PortalKeyboard keyboard_;
    bool kwin_ = false;
    // X programs' windows, through the session's X server where it has one.
    std::unique_ptr<DesktopBackend> xwayland_;
};

// Where the restore token is kept.
std::filesystem::path portalTokenFile();

}  // namespace torvic
