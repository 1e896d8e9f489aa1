// The Windows platform under Wine: window modes, key events, programs and
// their ids, the file reader and writer, the OEM code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <thread>

#include "base/errors.h"
#include "platform/files.h"
#include "platform/windows/windows_platform.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using Events = std::vector<WindowsPlatform::KeyEvent>;

TEST(WindowsPlatform, KeyEventsUseTheLayoutOrUnicode) {
    // On the US layout: "a" is its key, "A" needs shift, "€" and "à" are not there.
    EXPECT_EQ(WindowsPlatform::keyEvents({{}, "", "a"}), (Events{{'A', 0, false}, {'A', 0, true}}));
    EXPECT_EQ(WindowsPlatform::keyEvents({{}, "", "A"}),
              (Events{{VK_SHIFT, 0, false}, {'A', 0, false}, {'A', 0, true}, {VK_SHIFT, 0, true}}));
    EXPECT_EQ(WindowsPlatform::keyEvents({{}, "", "\x80\xE0"}),
              (Events{{0, 0x20AC, false}, {0, 0x20AC, true}, {0, 0xE0, false}, {0, 0xE0, true}}));
    EXPECT_EQ(WindowsPlatform::keyEvents({{"ctrl", "alt"}, "Delete", ""}),
              (Events{{VK_CONTROL, 0, false}, {VK_MENU, 0, false}, {VK_DELETE, 0, false}, {VK_DELETE, 0, true},
                      {VK_MENU, 0, true}, {VK_CONTROL, 0, true}}));
    EXPECT_EQ(WindowsPlatform::keyEvents({{}, "F12", "", 2}).size(), 4u);
}

// The key catcher stands beside the test program.
std::string besideUs(const std::string& name) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir = self;
    return dir.substr(0, dir.find_last_of('\\') + 1) + name;
}

TEST(WindowsPlatform, AStartedProgramHasTheIdItReports) {
    test::TempDir tmp;
    const std::string out = tmp / "pid.txt";
    WindowsPlatform platform;
    const double id = platform.startProgram("\"" + besideUs("win_key_catcher.exe") + "\" " + out, 0);
    std::string written;
    for (int i = 0; i < 100 && written.find('\n') == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        written = readFileBytes(out).value_or("");
    }
    EXPECT_EQ(written, "pid " + std::to_string(static_cast<long>(id)) + "\n");
    EXPECT_THROW(platform.activateProcess(id), RunTimeError);  // started hidden: no window to bring forward
    if (HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(id))) {
        TerminateProcess(p, 0);
        CloseHandle(p);
    }
    EXPECT_THROW(platform.startProgram("no-such-program.exe", 1), RunTimeError);
    EXPECT_THROW(platform.copyFile(tmp / "missing.txt", tmp / "b.txt"), RunTimeError);
}

TEST(WindowsPlatform, DevicesAndFoldersAreNeverReadNorReplaced) {
    test::TempDir tmp;
    std::string error;
    EXPECT_FALSE(writeFileSafely(tmp.path(), "x", &error));
    EXPECT_EQ(error, "is a directory");
    EXPECT_FALSE(writeFileSafely("NUL", "x", &error));
    EXPECT_FALSE(readFileBytes("NUL", &error));
    EXPECT_EQ(error, "is not a regular file (a device or a pipe)");
}

TEST(WindowsPlatform, OemCodePageThroughTheSystem) {
    WindowsPlatform platform;
    std::string text = "\x82\x87\x85 A";  // é ç à in the OEM code page
    platform.oemToAnsi(text);
    EXPECT_EQ(text, "\xE9\xE7\xE0 A");
    platform.ansiToOem(text);
    EXPECT_EQ(text, "\x82\x87\x85 A");
}

}  // namespace
}  // namespace torvic
