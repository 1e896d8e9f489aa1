// The Linux platform's command-line splitting and xcopy translation.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "platform/linux/linux_platform.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

TEST(LinuxPlatform, SplitsCommandLines) {
    using V = std::vector<std::string>;
    EXPECT_EQ(LinuxPlatform::splitCommandLine("calc"), (V{"calc"}));
    EXPECT_EQ(LinuxPlatform::splitCommandLine("  a  b\tc "), (V{"a", "b", "c"}));
    EXPECT_EQ(LinuxPlatform::splitCommandLine("\"my prog\" \"an arg\" x\"y z\""), (V{"my prog", "an arg", "xy z"}));
    EXPECT_EQ(LinuxPlatform::splitCommandLine("a \"\" b"), (V{"a", "", "b"}));
    EXPECT_EQ(LinuxPlatform::splitCommandLine(""), (V{}));
}

TEST(LinuxPlatform, TranslatesXcopySwitches) {
    namespace fs = std::filesystem;
    test::TempDir tmp;
    fs::path dir = tmp.path();
    fs::create_directories(dir / "src" / "sub");
    std::ofstream(dir / "src" / "a.txt") << "a";
    std::ofstream(dir / "file.txt") << "f";
    using V = std::vector<std::string>;
    std::string src = (dir / "src").string(), dst = (dir / "dst").string();

    EXPECT_EQ(LinuxPlatform::xcopyArguments(src, dst, "/s /E /y /d /k /q"),
              (V{"cp", "-f", "-u", "-p", "-R", src + "/.", dst}));
    EXPECT_EQ(LinuxPlatform::xcopyArguments(src, dst, ""), (V{"cp", "-t", dst, src + "/a.txt"}));
    EXPECT_TRUE(fs::is_directory(dst));  // the folder for the top files was made
    EXPECT_EQ(LinuxPlatform::xcopyArguments((dir / "file.txt").string(), dst, ""),
              (V{"cp", (dir / "file.txt").string(), dst}));
    EXPECT_EQ(LinuxPlatform::xcopyArguments((dir / "src" / "*.txt").string(), dst, ""),
              (V{"cp", "-t", dst, src + "/a.txt"}));
    EXPECT_TRUE(LinuxPlatform::xcopyArguments((dir / "src" / "*.none").string(), dst, "").empty());
}

// The children of this process that have ended but were not reaped.
int defunctChildren() {
    int count = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(e.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int ppid = 0;
        std::istringstream(line.substr(close + 2)) >> state >> ppid;
        if (ppid == getpid() && state == 'Z') ++count;
    }
    return count;
}

TEST(LinuxPlatform, ReapsEveryChildItStarts) {
    LinuxPlatform platform;
    platform.shellExecute("open", "/nonexistent/torvic-test-document", 0);  // xdg-open (or nothing) ends at once
    for (int i = 0; i < 3; ++i) platform.startProgram("true", 0);
    for (int i = 0; i < 50 && defunctChildren() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(defunctChildren(), 0);
}

}  // namespace
}  // namespace torvic
