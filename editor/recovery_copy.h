#pragma once
// The recovery copy of work not yet saved: while the editor holds unsaved
// edits, their text is written to a file of this process's own in the
// user's recovery folder, a little after the last key and on a thread of
// its own, so that typing never waits for the disk. A program that is ended
// by a signal, a logout or a lost display writes it at once. The next start
// finds the copies that no running program owns and offers them.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/text_encoding.h"
#include "platform/files.h"

namespace torvic {

// What a copy holds: the text and what the editor knew of the program.
struct RecoveryContent {
    std::string programName;  // the file the caption names (a system name)
    bool programSaved = false;  // the name is the program's own file, not one offered for a new program
    TextEncoding encoding = TextEncoding::Ansi;
    LineBreak lineBreak = LineBreak::CrLf;  // the file's, as it is written back
    bool endsWithLineBreak = false;
    // The text as last opened or saved (size and hash), and the program's
    // file as it was then, so that a recovered program still knows whether
    // another program changed the file meanwhile.
    std::size_t savedSize = 0, savedHash = 0;
    std::optional<FileStamp> fileStamp;
    std::size_t diskHash = 0;
    std::string text;  // UTF-8, CR LF line breaks
};

// A copy left by a program that is no longer running.
struct LeftRecovery {
    std::string path;
    std::time_t writtenAt = 0;
    RecoveryContent content;
};

// The bytes of a copy, and the copy again from them (nothing when they are
// not a copy's).
std::string recoveryBytes(const RecoveryContent& content, std::time_t writtenAt);
std::string recoveryHeader(const RecoveryContent& content, std::time_t writtenAt);  // what comes before the text
std::optional<LeftRecovery> parseRecovery(std::string_view bytes);

class RecoveryCopy {
public:
    // `folder` empty: no copies are kept (the system names no place).
    RecoveryCopy(std::string folder, long processId);
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    // Hands the content to the writing thread, replacing one it has not
    // started on yet.
    void writeLater(RecoveryContent content);
    // Writes it now, on the caller's thread (a write under way finishes
    // first); true when it is on disk.
    bool writeNow(const RecoveryContent& content);
    // The work was saved or thrown away on purpose: the copy goes, and so
    // does any write not yet done.
    void discard();
    // Waits until the writing thread has nothing left to do (tests).
    void settle();
    // A key or another edit in the window: the writing thread steps aside
    // until the keys have stopped for a moment.
    void noteActivity();

    const std::string& path() const { return path_; }
    bool enabled() const { return !path_.empty(); }

    // The copies in `folder` whose program is not running, newest first.
    static std::vector<LeftRecovery> findLeft(const std::string& folder);

private:
    void writerLoop();
    // `epoch`: written by the writing thread for that epoch, which pauses
    // between pieces while keys come; none: written at once.
    bool writeFile(const RecoveryContent& content, std::optional<std::uint64_t> epoch = std::nullopt);
    // Waits while keys come, unless the job went stale meanwhile.
    void stepAsideForKeys(std::uint64_t epoch);

    std::string path_;
    std::mutex queueMutex_;
    std::condition_variable queueChanged_;
    std::optional<RecoveryContent> pending_;
    bool busy_ = false, stopping_ = false;
    // Bumped by every discard and every write on the caller's thread: a
    // job taken before it is stale and is not written.
    std::uint64_t epoch_ = 0;
    std::mutex fileMutex_;  // held by whoever writes or removes the file
    std::thread writer_;
    std::atomic<std::chrono::steady_clock::rep> lastActivity_{0};
};

}  // namespace torvic
