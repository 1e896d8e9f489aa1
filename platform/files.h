#pragma once
// Whole-file reading and writing, as bytes without any conversion, and the
// names of files as the system spells them.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/text_encoding.h"
#include "platform/platform_texts.h"

namespace torvic {

// A system name spelled the Windows way, with this system's folder
// separators: on Linux each backslash becomes "/"; on Windows it is left as
// it is.
std::string nativeSeparators(std::string name);

// A script spells names in code page 1252, and as on Windows, where scripts
// come from; the system's names are UTF-8 here on every system (Linux takes
// them as they are, Windows widens them at its wide API). systemName and
// shownName are the only crossings between the two. On Linux a backslash of
// a spelled name is a folder separator, as it is on Windows: "dades\f.txt"
// is the file f.txt of the folder dades.
inline std::string systemName(std::string_view name1252) { return nativeSeparators(cp1252::toUtf8(name1252)); }
// A name from the system as the program shows it; characters 1252 cannot
// hold become '?', so such a name is kept in its system form where it is
// used again.
inline std::string shownName(std::string_view systemName) { return cp1252::fromUtf8(systemName); }

// A system name as a path of the standard library, and back (the narrow
// form of a path is not UTF-8 everywhere).
inline std::filesystem::path systemPath(std::string_view systemName) {
    return std::filesystem::path(std::u8string(systemName.begin(), systemName.end()));
}
inline std::string systemNameOf(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Names go to the system as C strings: one holding a NUL would be cut short.
inline void requireNoNul(const std::string& name) {
    if (name.find('\0') != std::string::npos) throw RunTimeError(platform_texts::nulInName());
}

// The drive a name begins with ("C:", a letter and a colon, alone or
// before a separator) on a system that has no drives (Linux); empty for
// every other name, and on Windows always.
std::string foreignDrive(std::string_view name);
// Why a name that begins with such a drive names no file here; empty when
// it does not.
inline std::string driveError(std::string_view name) {
    const std::string drive = foreignDrive(name);
    return drive.empty() ? std::string() : platform_texts::driveInName(drive);
}
inline void requireNoForeignDrive(std::string_view name) {
    if (std::string why = driveError(name); !why.empty()) throw RunTimeError(why);
}

// A name given on a program's command line (a system name): as it is given
// when a file or folder of that name exists, since the system's own
// programs and desktops pass real names; otherwise as a name spelled the
// Windows way (on Linux, its backslashes as folder separators).
inline std::string commandLineName(const std::string& systemName) {
    std::error_code ec;
    return std::filesystem::exists(systemPath(systemName), ec) ? systemName : nativeSeparators(systemName);
}

// The largest file a working text can hold: its cursor is a signed 32-bit
// position.
inline constexpr std::uint64_t kMaxFileBytes = 2147483647;

// The encoding the system's own programs write plain text in (UTF-8 on
// Linux, 1252 on Windows): a document with no accented letter yet is saved
// in it, and so is every text written for people to read.
TextEncoding systemTextEncoding();
// The line break the system's own programs end lines with (LF on Linux,
// CR LF on Windows): a document that has none yet takes it.
LineBreak systemLineBreak();

// `path` below is a system name (UTF-8).
// Reads a whole regular file of at most `maxBytes` bytes; nothing when it
// cannot be opened or read, is not a regular file (a FIFO or a device is
// never waited on nor read without end), or is larger (`error` then says
// why).
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr,
                                         std::uint64_t maxBytes = kMaxFileBytes);

// Writes a whole file so that a failure never destroys what was there: the
// bytes go to a temporary file in the same folder, which replaces the target
// only once everything was written. The target keeps its permissions, and a
// symbolic link keeps pointing where it did (the file it points to is
// replaced). A file its user may not write, or that keeping would give
// another owner, is refused and left as it is.
// Returns true on success; otherwise `error` says why, the target is
// untouched and no temporary file is left. Names holding a NUL character
// are refused by both functions.
bool writeFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// A short hash of a file's name (8 hex digits). A save's temporary file is
// named by it: ".torvic-" + hash + "-" + six characters, in the target's
// folder, whatever the target's length; a save removes those that an
// earlier save of the same target left when it was killed midway.
inline std::string nameHash(std::string_view name) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(8, '0');
    for (int i = 7; i >= 0; --i, h >>= 4) out[static_cast<std::size_t>(i)] = kDigits[h & 15];
    return out;
}
std::string temporaryNamePattern(const std::string& targetName);  // "XXXXXX" for the six

// What tells one state of a file from another without reading it: which
// file it is (volume and index), its size and its last write time.
struct FileStamp {
    std::uint64_t volume = 0, index = 0, size = 0;
    std::int64_t modified = 0;  // in the system's own units
    bool operator==(const FileStamp&) const = default;
};
// Nothing when there is no such file (or it cannot be looked at).
std::optional<FileStamp> fileStamp(const std::string& path);

// A file's bytes given a piece at a time, for a text that is converted as
// it is written: each call gives the next piece (valid until the next
// call), an empty one after the last.
using BytePieces = std::function<std::string_view()>;
// writeFileSafely with the bytes in pieces.
bool writePiecesSafely(const std::string& path, const BytePieces& pieces, std::string* error = nullptr);

// Adds bytes to the end of a file, which is made when missing; what the
// file held is never touched. Returns true on success; otherwise `error`
// says why. The reports people keep (the message window's export) go here.
bool appendFileBytes(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Where the document commands (open, save, ref) read and write whole files,
// by the names the script spells (1252): by default the real file system
// with the functions above; tests and fuzzing put a stand-in in its place.
class FileStore {
public:
    virtual ~FileStore() = default;
    virtual std::optional<std::string> readDocument(const std::string& path, std::string& error) {
        if (error = driveError(path); !error.empty()) return std::nullopt;
        return readFileBytes(systemName(path), &error);
    }
    virtual bool writeDocument(const std::string& path, std::string_view bytes, std::string& error) {
        if (error = driveError(path); !error.empty()) return false;
        return writeFileSafely(systemName(path), bytes, &error);
    }
    virtual bool writeDocumentPieces(const std::string& path, const BytePieces& pieces, std::string& error) {
        if (error = driveError(path); !error.empty()) return false;
        return writePiecesSafely(systemName(path), pieces, &error);
    }
    virtual TextEncoding plainTextEncoding() const { return systemTextEncoding(); }
    virtual LineBreak plainLineBreak() const { return systemLineBreak(); }
};

}  // namespace torvic
