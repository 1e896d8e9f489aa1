#include "platform/files.h"
#include "platform/linux/system_error.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace torvic {
namespace {

namespace fs = std::filesystem;

bool fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

// The system's reason for an error number, as a program text: a desktop's
// locale may give it in UTF-8.
std::string reason(int code) { return systemErrorText(code); }

// Follows a chain of symbolic links to the path that finally holds the data
// (which may not exist yet).
fs::path resolveLinks(fs::path p) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) return p;
        fs::path target = fs::read_symlink(p, ec);
        if (ec) return p;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p;
}

// A large buffer is faulted in by huge pages where the system offers them:
// a 50 MB text then costs a few dozen page faults instead of thousands.
void adviseHugePages(char* begin, std::size_t size) {
    constexpr std::uintptr_t kHuge = 2u << 20;
    if (size < 2 * kHuge) return;
    const auto from = (reinterpret_cast<std::uintptr_t>(begin) + kHuge - 1) & ~(kHuge - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(begin) + size) & ~(kHuge - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

mode_t currentUmask() {
    mode_t m = umask(0);
    umask(m);
    return m;
}

}  // namespace

TextEncoding systemTextEncoding() { return TextEncoding::Utf8; }

LineBreak systemLineBreak() { return LineBreak::Lf; }

// Scripts spell names as on Windows, where a backslash separates folders:
// here it does too. (A Linux name that really holds a backslash cannot be
// spelled by a script; on a command line it is taken as it is given.)
std::string nativeSeparators(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

std::string foreignDrive(std::string_view name) {
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    const bool letter = name.size() >= 2 && isLetter(name[0]);
    if (!letter || name[1] != ':') return "";
    if (name.size() > 2 && name[2] != '\\' && name[2] != '/') return "";  // "c:x" may be a file of this folder
    return std::string(name.substr(0, 2));
}

std::optional<std::string> readFileBytes(const std::string& path, std::string* error, std::uint64_t maxBytes) {
    if (path.find('\0') != std::string::npos) {
        fail(error, platform_texts::nulInName());
        return std::nullopt;
    }
    // Non-blocking, so that opening a FIFO with no writer does not wait.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        fail(error, reason(errno));
        return std::nullopt;
    }
    auto abandon = [&](const std::string& why) {
        close(fd);
        fail(error, why);
        return std::nullopt;
    };
    struct stat st {};
    if (fstat(fd, &st) != 0) return abandon(reason(errno));
    if (S_ISDIR(st.st_mode)) return abandon(platform_texts::isAFolder());
    if (!S_ISREG(st.st_mode)) return abandon(platform_texts::notAPlainFile());
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size > maxBytes) return abandon(platform_texts::tooLargeToRead(size, maxBytes));
    std::string data;
    // With room to spare, which costs nothing until it is used: a text with
    // LF line ends gets its CR LF ones where it stands.
    data.reserve(static_cast<std::size_t>(size) + static_cast<std::size_t>(size) / 8);
    adviseHugePages(data.data(), data.capacity());
    char buf[1 << 16];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return abandon(reason(errno));
        }
        // A file that grows while it is read (or reports no size) is still capped.
        if (data.size() + static_cast<std::size_t>(n) > maxBytes) return abandon(platform_texts::tooLargeToRead(data.size() + static_cast<std::size_t>(n), maxBytes));
        data.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    return data;
}

namespace {

// Writes every byte, through interruptions; 0 or the error number.
int writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

namespace {

// The temporary files of a save: ".torvic-" and a hash of the target's name,
// so that they are short whatever the target's length and tell which target
// they belong to, then mkstemp's six characters.
std::string temporaryPrefix(const std::string& targetName) {
    return ".torvic-" + nameHash(targetName) + "-";
}

bool isTemporaryOf(const std::string& entry, const std::string& prefix) {
    return entry.size() == prefix.size() + 6 && entry.compare(0, prefix.size(), prefix) == 0;
}

// Removes the temporary files a save of the same target left when it was
// killed midway. A save under way holds a lock on its own, so only those
// nobody holds go.
void removeStaleTemporaries(const fs::path& dir, const std::string& prefix) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    const int dirFd = dirfd(d);
    while (const dirent* e = readdir(d)) {
        if (!isTemporaryOf(e->d_name, prefix)) continue;
        const int fd = openat(dirFd, e->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() && flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dirFd, e->d_name, 0);
        close(fd);
    }
    closedir(d);
}

// Makes a rename in `dir` durable: without it a power cut may bring the old
// file back.
void syncFolder(const fs::path& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

std::string temporaryNamePattern(const std::string& targetName) { return temporaryPrefix(targetName) + "XXXXXX"; }

bool writeFileSafely(const std::string& path, std::string_view bytes, std::string* error) {
    bool given = false;
    const auto once = [&]() -> std::string_view { return std::exchange(given, true) ? "" : bytes; };
    return writePiecesSafely(path, once, error);
}

bool writePiecesSafely(const std::string& path, const BytePieces& pieces, std::string* error) {
    if (path.empty()) return fail(error, platform_texts::emptyFileName());
    if (path.find('\0') != std::string::npos) return fail(error, platform_texts::nulInName());
    fs::path target = resolveLinks(fs::path(path));
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";

    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return fail(error, reason(errno));  // a link loop, a folder we may not enter
    if (exists && S_ISDIR(st.st_mode)) return fail(error, platform_texts::isAFolder());
    // A device or a FIFO is never replaced by a plain file.
    if (exists && !S_ISREG(st.st_mode)) return fail(error, platform_texts::notAPlainFile());
    // The rename needs only the folder's permission: a file its user may not
    // write (or that nobody may, for the superuser) is left as it is, and so
    // is another user's file, which the replacement would make ours.
    if (exists) {
        if (access(target.c_str(), W_OK) != 0) {
            if (errno == EACCES || errno == EPERM) return fail(error, platform_texts::readOnlyFile());
            return fail(error, reason(errno));
        }
        if ((st.st_mode & 0222) == 0) return fail(error, platform_texts::readOnlyFile());
        if (st.st_uid != geteuid() && geteuid() != 0) return fail(error, platform_texts::anotherUsersFile());
    }

    const std::string prefix = temporaryPrefix(target.filename().string());
    removeStaleTemporaries(dir, prefix);
    std::string tmpl = (dir / (prefix + "XXXXXX")).string();
    int fd = mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) return fail(error, reason(errno));
    flock(fd, LOCK_EX | LOCK_NB);  // ours until it is renamed or removed

    auto abandon = [&](const std::string& why) {
        close(fd);
        unlink(tmpl.c_str());
        return fail(error, why);
    };

    for (std::string_view piece = pieces(); !piece.empty(); piece = pieces())
        if (int e = writeAll(fd, piece)) return abandon(reason(e));
    if (exists) {
        if (fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Only the owner's group may fail to be kept (one we are not in).
        }
        if (fchmod(fd, st.st_mode & 07777) != 0) return abandon(reason(errno));
    } else if (fchmod(fd, 0666 & ~currentUmask()) != 0) {
        return abandon(reason(errno));
    }
    if (fsync(fd) != 0) return abandon(reason(errno));
    if (rename(tmpl.c_str(), target.c_str()) != 0) return abandon(reason(errno));
    close(fd);
    syncFolder(dir);
    return true;
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    struct stat st {};
    if (path.find('\0') != std::string::npos || stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     static_cast<std::uint64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool appendFileBytes(const std::string& path, std::string_view bytes, std::string* error) {
    if (path.empty()) return fail(error, platform_texts::emptyFileName());
    if (path.find('\0') != std::string::npos) return fail(error, platform_texts::nulInName());
    // Non-blocking, so that a FIFO with no reader is refused instead of waited on.
    const std::string kNotPlain = platform_texts::notAPlainFile();
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return fail(error, errno == ENXIO ? kNotPlain : reason(errno));
    auto abandon = [&](const std::string& why) {
        close(fd);
        return fail(error, why);
    };
    struct stat st {};
    if (fstat(fd, &st) != 0) return abandon(reason(errno));
    if (!S_ISREG(st.st_mode)) return abandon(kNotPlain);
    if (int e = writeAll(fd, bytes)) return abandon(reason(e));
    if (close(fd) != 0) return fail(error, reason(errno));
    return true;
}

}  // namespace torvic
