#include "platform/linux/linux_platform.h"

#include <fcntl.h>
#include <spawn.h>

#include <thread>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/errors.h"
#include "base/text.h"
#include "platform/conventions.h"
#include "platform/files.h"
#include "platform/linux/system_error.h"
#include "platform/linux/desktop_backend.h"

extern char** environ;

namespace torvic {

namespace fs = std::filesystem;

// The system bus connection, opened when the shutdown privilege is asked for.
struct LinuxPlatform::Bus {
    sd_bus* bus = nullptr;
    ~Bus() {
        if (bus) sd_bus_flush_close_unref(bus);
    }
    // Calls a method of the logind manager; failures are ignored (a refused
    // request is silent).
    template <typename... Args>
    void callManager(const char* method, const char* signature, Args... args) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                           "org.freedesktop.login1.Manager", method, &error, &reply, signature, args...);
        sd_bus_error_free(&error);
        sd_bus_message_unref(reply);
    }
};

void prepareProcess() {
    std::signal(SIGXFSZ, SIG_IGN);
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS")) return;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    if (runtime && *runtime && fs::exists(fs::path(runtime) / "bus", ec)) return;  // found without launching
    // An address that cannot connect: D-Bus users fail at once instead of
    // autolaunching a daemon.
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/torvic-no-session-bus", 1);
}

LinuxPlatform::LinuxPlatform() = default;
LinuxPlatform::~LinuxPlatform() = default;

DateTime LinuxPlatform::now() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return DateTime{serialFromCivil(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday),
                    (tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec) * 1000 + ms};
}

void LinuxPlatform::beep() {
    if (isatty(STDERR_FILENO)) {
        ssize_t n = write(STDERR_FILENO, "\a", 1);
        (void)n;
    }
}

std::vector<std::string> LinuxPlatform::splitCommandLine(const std::string& commandLine) {
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false, started = false;
    for (char c : commandLine) {
        if (c == '"') {
            inQuotes = !inQuotes;
            started = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (started) args.push_back(std::move(current));
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started) args.push_back(std::move(current));
    return args;
}

double LinuxPlatform::spawn(const std::vector<std::string>& argv, bool quiet) {
    for (const std::string& a : argv) requireNoNul(a);
    std::vector<char*> cargv;
    for (const std::string& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
    cargv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // The program lives on its own: it is not ended with this one's terminal.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, cargv[0], &actions, &attr, cargv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw RunTimeError(platform_texts::cannotStart(shownName(argv[0]), systemErrorText(rc)));
    // Reaped as soon as it ends, so no defunct child stays behind while
    // this program runs on.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return pid;
}

bool LinuxPlatform::canPrintDocuments() { return access("/usr/bin/lp", X_OK) == 0; }

std::string LinuxPlatform::documentName(const std::string& file1252) {
    std::string name = systemName(file1252);
    // A name written between quotes (for its blanks) is the name inside them.
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"' &&
        name.find('"', 1) == name.size() - 1)
        name = name.substr(1, name.size() - 2);
    return name;
}

long LinuxPlatform::shellExecute(const std::string& verb, const std::string& file, int) {
    // Opening and exploring go to the desktop's default application; printing
    // hands the file to lp where it exists.
    const std::string name = documentName(file);
    requireNoForeignDrive(name);
    std::vector<std::string> argv{"xdg-open", name};
    if (verb == "print" && canPrintDocuments()) argv = {"lp", name};
    try {
        return static_cast<long>(spawn(argv, true));
    } catch (const RunTimeError&) {
        return 0;
    }
}

bool LinuxPlatform::activarPrivilegiApagada() {
    // On Linux the privilege is logind's to grant at each request; what can
    // fail here is reaching it at all.
    if (!bus_) {
        auto b = std::make_unique<Bus>();
        if (sd_bus_open_system(&b->bus) < 0) return false;
        bus_ = std::move(b);
    }
    return true;
}

void LinuxPlatform::exitWindows(std::uint32_t flags) {
    if (!activarPrivilegiApagada()) return;
    // Forcing has no counterpart: logind asks nobody before these requests.
    if (flags & exitflag::Reboot) {
        bus_->callManager("Reboot", "b", 0);
    } else if (flags & (exitflag::PowerOff | exitflag::Shutdown)) {
        bus_->callManager("PowerOff", "b", 0);
    } else {
        const char* session = std::getenv("XDG_SESSION_ID");
        bus_->callManager("TerminateSession", "s", session && *session ? session : "auto");
    }
}

void LinuxPlatform::setSystemPowerState(bool, bool) {
    if (!activarPrivilegiApagada()) return;
    bus_->callManager("Suspend", "b", 0);
}

void LinuxPlatform::copyFile(const std::string& from, const std::string& to) {
    requireNoNul(from);
    requireNoNul(to);
    for (const std::string* name : {&from, &to})
        if (std::string why = driveError(*name); !why.empty()) throw RunTimeError(platform_texts::copyFailed(why));
    std::error_code ec;
    if (!fs::is_regular_file(systemName(from), ec)) throw RunTimeError(platform_texts::copyNotAFile(from));
    fs::copy_file(systemName(from), systemName(to), fs::copy_options::overwrite_existing, ec);
    if (ec) throw RunTimeError(platform_texts::copyFailed(systemErrorText(ec.value())));
}

std::vector<std::string> LinuxPlatform::xcopyArguments(const std::string& from, const std::string& to,
                                                       const std::string& switches) {
    bool recursive = false;
    std::vector<std::string> args{"cp"};
    for (std::string_view sw : split(switches, ' ')) {
        std::string s = toLower1252(sw);
        if (s == "/s" || s == "/e") recursive = true;
        else if (s == "/d") args.push_back("-u");       // only newer files
        else if (s == "/k") args.push_back("-p");       // keep attributes
        else if (s == "/y" || s == "/r") args.push_back("-f");
        // Other switches (/i /q /c /h /f /l ...) have no cp counterpart.
    }
    // Plain files into a folder that is made when missing; nothing to copy
    // gives no command.
    const auto filesInto = [&](const std::vector<std::string>& files) -> std::vector<std::string> {
        if (files.empty()) return {};
        std::error_code made;
        fs::create_directories(to, made);
        args.insert(args.end(), {"-t", to});
        args.insert(args.end(), files.begin(), files.end());
        return args;
    };
    std::error_code ec;
    std::vector<std::string> files;
    if (from.find_first_of("*?") != std::string::npos) return filesInto(conventions::matchingFiles(from));
    if (fs::is_directory(from, ec)) {
        if (!recursive) {
            for (const auto& e : fs::directory_iterator(from, ec))
                if (e.is_regular_file(ec)) files.push_back(e.path().string());
            return filesInto(files);
        }
        args.insert(args.end(), {"-R", (fs::path(from) / ".").string(), to});
    } else {
        args.insert(args.end(), {from, to});
    }
    return args;
}

void LinuxPlatform::xcopy(const std::string& from, const std::string& to, const std::string& switches) {
    requireNoNul(from);
    requireNoNul(to);
    requireNoForeignDrive(from);
    requireNoForeignDrive(to);
    // The switches are no names: "/s" stays as it is.
    std::vector<std::string> argv = xcopyArguments(systemName(from), systemName(to), cp1252::toUtf8(switches));
    if (!argv.empty()) spawn(argv, true);
}

}  // namespace torvic
