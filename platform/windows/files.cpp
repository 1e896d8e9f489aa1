// Whole-file reading and writing on Windows. Names are system names
// (UTF-8), widened for the wide API, so that a name means the same file
// whatever the system's ANSI code page.
#include "platform/files.h"
#include "platform/windows/wide_text.h"
#include "system_message.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>

namespace torvic {
namespace {

bool fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

using win::wide;

// Why a name that exists cannot be replaced as a plain file, or "".
std::string notAPlainFile(const std::wstring& path, bool& exists) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return platform_texts::isAFolder();
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "";
    exists = true;
    const DWORD type = GetFileType(h);
    CloseHandle(h);
    return type == FILE_TYPE_DISK ? "" : platform_texts::notAPlainFile();
}

}  // namespace

TextEncoding systemTextEncoding() { return TextEncoding::Ansi; }

LineBreak systemLineBreak() { return LineBreak::CrLf; }

// Names are spelled as the system spells them: drives and backslashes are its own.
std::string nativeSeparators(std::string name) { return name; }

std::string foreignDrive(std::string_view) { return ""; }

std::optional<std::string> readFileBytes(const std::string& path, std::string* error, std::uint64_t maxBytes) {
    if (path.find('\0') != std::string::npos) return fail(error, platform_texts::nulInName()), std::nullopt;
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return fail(error, platform_texts::isAFolder()), std::nullopt;
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail(error, systemMessage(GetLastError())), std::nullopt;
    auto abandon = [&](const std::string& why) {
        CloseHandle(h);
        fail(error, why);
        return std::nullopt;
    };
    if (GetFileType(h) != FILE_TYPE_DISK) return abandon(platform_texts::notAPlainFile());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size)) return abandon(systemMessage(GetLastError()));
    if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) return abandon(platform_texts::tooLargeToRead(static_cast<std::uint64_t>(size.QuadPart), maxBytes));
    std::string data;
    // With room to spare, which costs nothing until it is used: a text with
    // LF line ends gets its CR LF ones where it stands.
    data.reserve(static_cast<std::size_t>(size.QuadPart) + static_cast<std::size_t>(size.QuadPart) / 8);
    char buf[1 << 16];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) return abandon(systemMessage(GetLastError()));
        if (n == 0) break;
        if (data.size() + n > maxBytes) return abandon(platform_texts::tooLargeToRead(data.size() + n, maxBytes));
        data.append(buf, n);
    }
    CloseHandle(h);
    return data;
}

namespace {

// Removes the temporary files an earlier save of the same target left when
// it was killed midway; one still being written is open without sharing,
// and cannot be deleted.
void removeStaleTemporaries(const std::wstring& dir, const std::wstring& prefix) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((dir + prefix + L"*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((dir + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

std::string temporaryNamePattern(const std::string& targetName) {
    return "~torvic-" + nameHash(targetName) + "-XXXXXX.tmp";
}

bool writeFileSafely(const std::string& path, std::string_view bytes, std::string* error) {
    bool given = false;
    const auto once = [&]() -> std::string_view { return std::exchange(given, true) ? "" : bytes; };
    return writePiecesSafely(path, once, error);
}

bool writePiecesSafely(const std::string& path, const BytePieces& pieces, std::string* error) {
    if (path.empty()) return fail(error, platform_texts::emptyFileName());
    if (path.find('\0') != std::string::npos) return fail(error, platform_texts::nulInName());
    bool exists = false;
    const std::wstring target = wide(path);
    // A device ("NUL", "COM1") or a folder is never replaced by a plain file.
    if (std::string why = notAPlainFile(target, exists); !why.empty()) return fail(error, why);
    // Replacing needs only the folder's permission: a read-only file stays.
    if (exists) {
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return fail(error, platform_texts::readOnlyFile());
    }

    // The temporary file beside the target, so that the replacement is a
    // rename; short whatever the target's name, and named by it.
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.find_last_of(L"\\/:");
    const std::wstring dir = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    const std::size_t cut = path.find_last_of("\\/:");
    const std::string utf8Name = cut == std::string::npos ? path : path.substr(cut + 1);
    const std::wstring prefix = wide("~torvic-" + nameHash(utf8Name) + "-");
    removeStaleTemporaries(dir, prefix);
    std::wstring temp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        wchar_t unique[16];
        swprintf(unique, 16, L"%06x", (GetCurrentProcessId() * 4099u + counter++) & 0xFFFFFFu);
        temp = dir + prefix + unique + L".tmp";
        h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (h == INVALID_HANDLE_VALUE) return fail(error, systemMessage(GetLastError()));
    auto abandon = [&](DWORD code) {
        CloseHandle(h);
        DeleteFileW(temp.c_str());
        return fail(error, systemMessage(code));
    };
    for (std::string_view bytes = pieces(); !bytes.empty(); bytes = pieces()) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
            DWORD written = 0;
            if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0)
                return abandon(GetLastError());
            done += written;
        }
    }
    if (!FlushFileBuffers(h)) return abandon(GetLastError());
    CloseHandle(h);
    // ReplaceFile keeps the target's attributes and security; a new target is a move.
    BOOL ok = exists ? ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                    nullptr, nullptr)
                     : FALSE;
    if (!ok) ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        const DWORD code = GetLastError();
        DeleteFileW(temp.c_str());
        return fail(error, systemMessage(code));
    }
    return true;
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    if (path.find('\0') != std::string::npos) return std::nullopt;
    HANDLE h = CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    auto join = [](DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; };
    return FileStamp{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                     join(info.nFileSizeHigh, info.nFileSizeLow),
                     static_cast<std::int64_t>(join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime))};
}

bool appendFileBytes(const std::string& path, std::string_view bytes, std::string* error) {
    if (path.empty()) return fail(error, platform_texts::emptyFileName());
    if (path.find('\0') != std::string::npos) return fail(error, platform_texts::nulInName());
    const std::wstring name = wide(path);
    bool exists = false;
    if (std::string why = notAPlainFile(name, exists); !why.empty()) return fail(error, why);
    HANDLE h = CreateFileW(name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail(error, systemMessage(GetLastError()));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            const DWORD code = GetLastError();
            CloseHandle(h);
            return fail(error, systemMessage(code));
        }
        done += written;
    }
    CloseHandle(h);
    return true;
}

}  // namespace torvic
