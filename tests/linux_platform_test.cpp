// The Linux platform: command lines, xcopy's translation, children reaped,
// and the file writer.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>

#include "platform/files.h"
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

// Whether a child of this process has ended and was not reaped (left as it is).
bool defunctChild() {
    siginfo_t info{};
    return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

TEST(LinuxPlatform, ReapsEveryChildItStarts) {
    LinuxPlatform platform;
    platform.shellExecute("open", "/nonexistent/torvic-test-document", 0);  // xdg-open (or nothing) ends at once
    for (int i = 0; i < 3; ++i) platform.startProgram("true", 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(defunctChild());
}

// The file writer keeps permissions and symbolic links.
TEST(Files, WriterKeepsPermissionsAndLinks) {
    namespace fs = std::filesystem;
    test::TempDir tmp;
    const std::string real = tmp / "real.txt", link = tmp / "link.txt";
    ASSERT_TRUE(writeFileSafely(real, "old"));
    chmod(real.c_str(), 0640);
    fs::create_symlink("real.txt", link);
    ASSERT_TRUE(writeFileSafely(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFileBytes(real).value_or("<missing>"), "new");
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()), 2);  // no temporary left

    ASSERT_TRUE(writeFileSafely(tmp / "fresh.txt", ""));
    EXPECT_TRUE(fs::exists(tmp / "fresh.txt"));
    EXPECT_FALSE(writeFileSafely("", "x"));
}

}  // namespace
}  // namespace torvic
