#include "editor/recovery_copy.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "platform/conventions.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "Torvic recovery 1\n";
constexpr std::string_view kPrefix = "recovery-", kSuffix = ".torvic";
// The writing thread writes a piece at a time and steps aside between them
// while keys come: a key never shares the machine with a long write.
constexpr std::size_t kPieceBytes = 1 << 20;
constexpr auto kQuietAfterKey = std::chrono::milliseconds(100);
constexpr auto kPauseStep = std::chrono::milliseconds(10);

const char* encodingName(TextEncoding e) {
    switch (e) {
        case TextEncoding::Utf8: return "utf8";
        case TextEncoding::Utf8Bom: return "utf8bom";
        case TextEncoding::Utf16Le: return "utf16le";
        case TextEncoding::Utf16Be: return "utf16be";
        default: return "ansi";
    }
}

std::optional<TextEncoding> encodingNamed(std::string_view name) {
    if (name == "ansi") return TextEncoding::Ansi;
    if (name == "utf8") return TextEncoding::Utf8;
    if (name == "utf8bom") return TextEncoding::Utf8Bom;
    if (name == "utf16le") return TextEncoding::Utf16Le;
    if (name == "utf16be") return TextEncoding::Utf16Be;
    return std::nullopt;
}

template <class Number>
bool readNumber(std::string_view text, Number& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

// "a,b,c,d" into its parts.
std::vector<std::string_view> fields(std::string_view text) {
    std::vector<std::string_view> out;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        out.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) return out;
        start = comma + 1;
    }
}

// A name on one header line: "%" and the line break written as "%25" and "%0A".
std::string escapedName(std::string_view name) {
    std::string out;
    for (char c : name) out += c == '%' ? "%25" : c == '\n' ? "%0A" : std::string(1, c);
    return out;
}

std::string unescapedName(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 3) == "%25") out += '%', i += 2;
        else if (text.substr(i, 3) == "%0A") out += '\n', i += 2;
        else out += text[i];
    }
    return out;
}

}  // namespace

std::string recoveryBytes(const RecoveryContent& c, std::time_t writtenAt) {
    return recoveryHeader(c, writtenAt) + c.text;
}

std::string recoveryHeader(const RecoveryContent& c, std::time_t writtenAt) {
    std::string out(kMagic);
    out += "written=" + std::to_string(static_cast<long long>(writtenAt)) + "\n";
    out += "name=" + escapedName(c.programName) + "\n";
    out += std::string("saved=") + (c.programSaved ? "1" : "0") + "\n";
    out += std::string("encoding=") + encodingName(c.encoding) + "\n";
    out += std::string("final=") + (c.endsWithLineBreak ? "1" : "0") + "\n";
    out += std::string("break=") + (c.lineBreak == LineBreak::Lf ? "lf" : "crlf") + "\n";
    out += "text=" + std::to_string(c.savedSize) + "," + std::to_string(c.savedHash) + "\n";
    if (c.fileStamp)
        out += "file=" + std::to_string(c.fileStamp->volume) + "," + std::to_string(c.fileStamp->index) + "," +
               std::to_string(c.fileStamp->size) + "," + std::to_string(c.fileStamp->modified) + "," +
               std::to_string(c.diskHash) + "\n";
    out += "\n";
    return out;
}

std::optional<LeftRecovery> parseRecovery(std::string_view bytes) {
    if (!bytes.starts_with(kMagic)) return std::nullopt;
    LeftRecovery left;
    RecoveryContent& c = left.content;
    std::size_t at = kMagic.size();
    bool named = false;
    for (;;) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view line = bytes.substr(at, end - at);
        at = end + 1;
        if (line.empty()) break;  // the text follows
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return std::nullopt;
        const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "written") {
            long long t = 0;
            if (!readNumber(value, t)) return std::nullopt;
            left.writtenAt = static_cast<std::time_t>(t);
        } else if (key == "name") {
            c.programName = unescapedName(value), named = true;
        } else if (key == "saved") {
            c.programSaved = value == "1";
        } else if (key == "encoding") {
            const auto e = encodingNamed(value);
            if (!e) return std::nullopt;
            c.encoding = *e;
        } else if (key == "final") {
            c.endsWithLineBreak = value == "1";
        } else if (key == "break") {
            c.lineBreak = value == "lf" ? LineBreak::Lf : LineBreak::CrLf;
        } else if (key == "text") {
            const auto f = fields(value);
            if (f.size() != 2 || !readNumber(f[0], c.savedSize) || !readNumber(f[1], c.savedHash)) return std::nullopt;
        } else if (key == "file") {
            const auto f = fields(value);
            FileStamp s;
            if (f.size() != 5 || !readNumber(f[0], s.volume) || !readNumber(f[1], s.index) ||
                !readNumber(f[2], s.size) || !readNumber(f[3], s.modified) || !readNumber(f[4], c.diskHash))
                return std::nullopt;
            c.fileStamp = s;
        }  // keys of a later version are passed over
    }
    if (!named) return std::nullopt;
    c.text = std::string(bytes.substr(at));
    return left;
}

RecoveryCopy::RecoveryCopy(std::string folder, long processId) {
    if (!folder.empty())
        path_ = systemNameOf(systemPath(folder) / (std::string(kPrefix) + std::to_string(processId) + std::string(kSuffix)));
}

RecoveryCopy::~RecoveryCopy() {
    {
        std::lock_guard lock(queueMutex_);
        stopping_ = true;
    }
    queueChanged_.notify_all();
    if (writer_.joinable()) writer_.join();
}

void RecoveryCopy::writeLater(RecoveryContent content) {
    if (!enabled()) return;
    {
        std::lock_guard lock(queueMutex_);
        pending_ = std::move(content);
        if (!writer_.joinable()) writer_ = std::thread([this] { writerLoop(); });
    }
    queueChanged_.notify_all();
}

void RecoveryCopy::writerLoop() {
    conventions::runInBackground();
    std::unique_lock lock(queueMutex_);
    for (;;) {
        queueChanged_.wait(lock, [this] { return pending_ || stopping_; });
        if (stopping_) return;
        RecoveryContent job = std::move(*pending_);
        pending_.reset();
        const std::uint64_t epoch = epoch_;
        busy_ = true;
        lock.unlock();
        {
            std::lock_guard file(fileMutex_);
            // A discard (or a write of the caller's own) since the job was
            // taken makes it stale.
            bool current;
            {
                std::lock_guard again(queueMutex_);
                current = epoch == epoch_;
            }
            if (current) writeFile(job, epoch);
        }
        lock.lock();
        busy_ = false;
        queueChanged_.notify_all();
    }
}

void RecoveryCopy::noteActivity() {
    lastActivity_.store(std::chrono::steady_clock::now().time_since_epoch().count(), std::memory_order_relaxed);
}

void RecoveryCopy::stepAsideForKeys(std::uint64_t epoch) {
    using Clock = std::chrono::steady_clock;
    for (;;) {
        const Clock::time_point last{Clock::duration(lastActivity_.load(std::memory_order_relaxed))};
        if (Clock::now() - last >= kQuietAfterKey) return;
        {
            // A newer copy or a discard waits for this write: it goes on at once.
            std::lock_guard lock(queueMutex_);
            if (epoch != epoch_ || stopping_) return;
        }
        std::this_thread::sleep_for(kPauseStep);
    }
}

bool RecoveryCopy::writeFile(const RecoveryContent& content, std::optional<std::uint64_t> epoch) {
    // The folder comes with the first copy: a program that never needs one
    // leaves nothing behind. It holds the user's work: the user's only.
    const fs::path folder = systemPath(path_).parent_path();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    }
    // The header and the text as they are: a large text is not copied again.
    const std::string header = recoveryHeader(content, std::time(nullptr));
    bool headerGiven = false;
    std::size_t at = 0;
    return writePiecesSafely(path_, [&]() -> std::string_view {
        if (!headerGiven) {
            headerGiven = true;
            return header;
        }
        if (at >= content.text.size()) return {};
        if (epoch) stepAsideForKeys(*epoch);
        const std::string_view piece = std::string_view(content.text).substr(at, kPieceBytes);
        at += piece.size();
        return piece;
    });
}

bool RecoveryCopy::writeNow(const RecoveryContent& content) {
    if (!enabled()) return false;
    {
        std::lock_guard lock(queueMutex_);
        pending_.reset();
        ++epoch_;
    }
    std::lock_guard file(fileMutex_);
    return writeFile(content);
}

void RecoveryCopy::discard() {
    if (!enabled()) return;
    {
        std::lock_guard lock(queueMutex_);
        pending_.reset();
        ++epoch_;
    }
    std::lock_guard file(fileMutex_);
    std::error_code ec;
    fs::remove(systemPath(path_), ec);
}

void RecoveryCopy::settle() {
    std::unique_lock lock(queueMutex_);
    queueChanged_.wait(lock, [this] { return (!pending_ && !busy_) || stopping_; });
}

std::vector<LeftRecovery> RecoveryCopy::findLeft(const std::string& folder) {
    std::vector<LeftRecovery> found;
    if (folder.empty()) return found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(systemPath(folder), ec)) {
        const std::string name = systemNameOf(entry.path().filename());
        if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) continue;
        long pid = 0;
        if (!readNumber(std::string_view(name).substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size()), pid))
            continue;
        if (pid == conventions::currentProcessId() || conventions::programRunning(pid)) continue;
        const std::string path = systemNameOf(entry.path());
        const std::optional<std::string> bytes = readFileBytes(path);
        if (!bytes) continue;
        if (std::optional<LeftRecovery> left = parseRecovery(*bytes)) {
            left->path = path;
            found.push_back(std::move(*left));
        }
    }
    std::sort(found.begin(), found.end(), [](const LeftRecovery& a, const LeftRecovery& b) { return a.writtenAt > b.writtenAt; });
    return found;
}

}  // namespace torvic
