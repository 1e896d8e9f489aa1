#include "tests/support/recording_platform.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "base/errors.h"
#include "base/text.h"
#include "platform/sendkeys.h"

namespace torvic {

void RecordingPlatform::beep() {
    if (beepThrowsLogicError) throw std::logic_error("bug in beep");
    calls.push_back("beep");
}

double RecordingPlatform::startProgram(const std::string& commandLine, int windowMode) {
    if (!isValidWindowMode(windowMode)) throw RunTimeError("invalid window mode");
    if (commandLine.empty() || commandLine.find("missing") != std::string::npos)
        throw RunTimeError("cannot start '" + commandLine + "'");
    calls.push_back("exec " + std::to_string(windowMode) + " " + commandLine);
    double id = nextProcessId++;
    processesWithWindows.insert(id);
    return id;
}

void RecordingPlatform::sendKeys(const std::string& keys, bool wait) {
    parseSendKeys(keys);  // invalid notation throws, as on a real desktop
    calls.push_back(std::string("send ") + (wait ? "wait " : "") + keys);
}

void RecordingPlatform::activateProcess(double processId) {
    if (!processesWithWindows.count(processId)) throw RunTimeError("no window for that process");
    calls.push_back("focus " + numberText(processId));
}

void RecordingPlatform::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "mouse 0x%X %d %d %d", flags, dx, dy, data);
    calls.push_back(buf);
    if (flags & mouseflag::Move) {
        // Like a real pointer, it stays on the screen.
        auto onScreen = [](long long v, int size) { return static_cast<int>(std::clamp(v, 0LL, size - 1LL)); };
        if (flags & mouseflag::Absolute) {
            pointerX = onScreen(static_cast<long long>(dx) * screenWidth / 65536, screenWidth);
            pointerY = onScreen(static_cast<long long>(dy) * screenHeight / 65536, screenHeight);
        } else {
            pointerX = onScreen(static_cast<long long>(pointerX) + dx, screenWidth);
            pointerY = onScreen(static_cast<long long>(pointerY) + dy, screenHeight);
        }
    }
}

void RecordingPlatform::exitWindows(std::uint32_t flags) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "exit 0x%X", flags);
    calls.push_back(buf);
}

void RecordingPlatform::setClock(int year, int month, int day, int hour, int minute, int second, int ms) {
    clock.day = serialFromCivil(year, month, day);
    clock.msOfDay = ((hour * 60 + minute) * 60 + second) * 1000 + ms;
}

void RecordingPlatform::advanceClock(long long ms) {
    long long total = clock.msOfDay + ms;
    const long long msPerDay = 86400LL * 1000;
    clock.day += total / msPerDay;
    clock.msOfDay = static_cast<std::int32_t>(total % msPerDay);
}

std::optional<std::string> RecordingPlatform::readDocument(const std::string& path, std::string& error) {
    if (!memoryFiles) return Platform::readDocument(path, error);
    auto it = memoryFiles->find(path);
    if (it != memoryFiles->end()) return it->second;
    error = "No such file or directory";
    return std::nullopt;
}

bool RecordingPlatform::writeDocument(const std::string& path, std::string_view bytes, std::string& error) {
    if (!memoryFiles) return Platform::writeDocument(path, bytes, error);
    if (path.empty() || path.find('\0') != std::string::npos) {
        error = "bad name";
        return false;
    }
    (*memoryFiles)[path] = std::string(bytes);
    return true;
}

bool RecordingPlatform::writeDocumentPieces(const std::string& path, const BytePieces& pieces, std::string& error) {
    if (!memoryFiles) return Platform::writeDocumentPieces(path, pieces, error);
    std::string bytes;
    for (std::string_view piece = pieces(); !piece.empty(); piece = pieces()) bytes.append(piece);
    return writeDocument(path, bytes, error);
}

}  // namespace torvic
