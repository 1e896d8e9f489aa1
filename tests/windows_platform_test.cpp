// The Windows platform under Wine: key events, programs and their ids, the
// OEM code page, and what an installation writes into the registry and the
// shell's folders.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <thread>

#include "base/errors.h"
#include "platform/files.h"
#include "platform/windows/registry_installation.h"
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

// The test tools stand beside the test program.
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
    const double id = platform.startProgram("\"" + besideUs("win_window_tree.exe") + "\" catch " + out, 0);
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

TEST(WindowsPlatform, OemCodePageThroughTheSystem) {
    WindowsPlatform platform;
    std::string text = "\x82\x87\x85 A";  // é ç à in the OEM code page
    platform.oemToAnsi(text);
    EXPECT_EQ(text, "\xE9\xE7\xE0 A");
    platform.ansiToOem(text);
    EXPECT_EQ(text, "\x82\x87\x85 A");
}

// A text value under HKEY_CURRENT_USER, or "(none)".
std::string userValue(const std::string& key, const char* name = nullptr) {
    char buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return "(none)";
    return buffer;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(RegistryInstallation, RegistersTheFileTypeAndShortcutsAndUninstallsExactly) {
    test::TempDir tmp;
    const std::string root = "Software\\TorvicTest";
    RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
    const std::string desktop = tmp / "Desktop", programs = tmp / "Programs";
    CreateDirectoryA(desktop.c_str(), nullptr);
    CreateDirectoryA(programs.c_str(), nullptr);
    win::RegistryInstallation system({tmp / "src", "c:\\Program Files\\Torvic\\", desktop, programs,
                                      root + "\\Classes", root + "\\Uninstall\\Torvic"});
    const std::pair<const char*, bool> dirs[] = {
        {"c:\\Torvic\\", true}, {"D:\\", true}, {"c:prova", false}, {"prova\\", false}, {"\\\\servidor\\prova", false}, {"", false}};
    for (const auto& [typed, absolute] : dirs) EXPECT_EQ(system.isAbsoluteDirectory(typed), absolute) << typed;

    const std::string dir = tmp / "Program Files" + "\\";  // a blank: the commands quote the program
    CreateDirectoryA(dir.c_str(), nullptr);
    for (int round = 0; round < 2; ++round) system.registerInstallation(dir);  // twice: the same values
    EXPECT_EQ(userValue(root + "\\Classes\\.torvic"), "torvic");
    EXPECT_EQ(userValue(root + "\\Classes\\Torvic"), "Torvic Program");
    EXPECT_EQ(userValue(root + "\\Classes\\Torvic\\shell\\open\\command"), "\"" + dir + "torvic.exe\" /exec \"%1\"");
    EXPECT_EQ(userValue(root + "\\Classes\\Torvic\\shell\\Edit\\command"), "\"" + dir + "torvic.exe\" \"%1\"");
    EXPECT_EQ(userValue(root + "\\Classes\\Torvic\\DefaultIcon"), dir + "torvic.exe,0");
    EXPECT_EQ(userValue(root + "\\Uninstall\\Torvic", "UninstallString"), "\"" + dir + "torvicsetup.exe\" /uninstall");
    EXPECT_EQ(system.installedDirectory(), dir);
    EXPECT_TRUE(exists(desktop + "\\Editor de Programes Torvic.lnk"));
    EXPECT_TRUE(exists(programs + "\\Torvic\\Editor de Programes Torvic.lnk"));

    for (const ShippedFile& f : system.shippedFiles()) std::ofstream(dir + f.name) << f.name;
    EXPECT_EQ(system.uninstall(), dir);
    EXPECT_FALSE(exists(dir));  // emptied, so removed
    EXPECT_FALSE(exists(desktop + "\\Editor de Programes Torvic.lnk"));
    EXPECT_FALSE(exists(programs + "\\Torvic"));
    EXPECT_EQ(userValue(root + "\\Classes\\.torvic"), "(none)");
    EXPECT_EQ(userValue(root + "\\Classes\\Torvic"), "(none)");
    EXPECT_EQ(system.installedDirectory(), "");
    EXPECT_EQ(system.uninstall(), "");  // nothing left to remove
    // The parent keys the installation made went too, once empty.
    HKEY left = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (root + "\\Classes").c_str(), 0, KEY_READ, &left), ERROR_SUCCESS);
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (root + "\\Uninstall").c_str(), 0, KEY_READ, &left), ERROR_SUCCESS);
    RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
}

}  // namespace
}  // namespace torvic
