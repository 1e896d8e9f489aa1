#pragma once
// Test platform: a clock that only moves when told to, a pointer that only
// moves when an event moves it, and a log of every service request in call
// order ("beep", "exec <mode> <command line>", "mouse 0x8003 10 20 0", ...).
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/errors.h"
#include "platform/platform.h"

namespace torvic {

class RecordingPlatform : public Platform {
public:
    DateTime clock;
    std::vector<std::string> calls;
    int pointerX = 0, pointerY = 0;
    int screenWidth = 1280, screenHeight = 1024;
    double nextProcessId = 1000;
    std::set<double> processesWithWindows;  // ids that focu can activate
    bool nt = true;
    bool privilege = true;
    bool beepThrowsLogicError = false;  // stands for a bug of ours inside a command
    // When set, open, save and ref use these files (name to bytes) and never
    // the disk.
    std::map<std::string, std::string>* memoryFiles = nullptr;
    // What a document of plain ASCII is taken as.
    TextEncoding plainText = systemTextEncoding();
    TextEncoding plainTextEncoding() const override { return plainText; }
    // The line break of a document that has none: CR LF unless a test says
    // otherwise, so that results are the same on every system.
    LineBreak plainBreak = LineBreak::CrLf;
    LineBreak plainLineBreak() const override { return plainBreak; }

    DateTime now() override { return clock; }
    void beep() override;
    double startProgram(const std::string& commandLine, int windowMode) override;
    long shellExecute(const std::string& verb, const std::string& file, int showCommand) override {
        calls.push_back("shell '" + verb + "' " + std::to_string(showCommand) + " " + file);
        return 42;
    }
    bool printing = true;  // whether a printing service is there
    bool canPrintDocuments() override { return printing; }
    void sendKeys(const std::string& keys, bool wait) override;
    void activateProcess(double processId) override;
    // When set, the pointer cannot be read or moved: the desktop's reason.
    std::string pointerUnreachable;
    void setCursorPos(int x, int y) override {
        if (!pointerUnreachable.empty()) throw RunTimeError(pointerUnreachable);
        pointerX = x, pointerY = y;
        calls.push_back("cursor " + std::to_string(x) + " " + std::to_string(y));
    }
    void cursorPos(int& x, int& y) override {
        if (!pointerUnreachable.empty()) throw RunTimeError(pointerUnreachable);
        x = pointerX, y = pointerY;
    }
    void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override;
    std::string desktop;  // the desktop backend a desktop command chose ("" before)
    std::string desktopName() override { return desktop; }
    bool esOSNT() override { return nt; }
    bool activarPrivilegiApagada() override { return calls.push_back("privilege"), privilege; }
    void exitWindows(std::uint32_t flags) override;
    void setSystemPowerState(bool suspend, bool force) override {
        calls.push_back(std::string("power ") + (suspend ? "1 " : "0 ") + (force ? "1" : "0"));
    }
    void copyFile(const std::string& from, const std::string& to) override { calls.push_back("copy " + from + " -> " + to); }
    void xcopy(const std::string& from, const std::string& to, const std::string& switches) override {
        calls.push_back("start hidden " + xcopyCommandLine(from, to, switches));
    }
    std::optional<std::string> readDocument(const std::string& path, std::string& error) override;
    bool writeDocument(const std::string& path, std::string_view bytes, std::string& error) override;
    bool writeDocumentPieces(const std::string& path, const BytePieces& pieces, std::string& error) override;

    // Sets the clock to a civil date and time of day.
    void setClock(int year, int month, int day, int hour, int minute, int second, int ms = 0);
    // Moves the clock forward, across midnight when needed.
    void advanceClock(long long ms);
};

}  // namespace torvic
