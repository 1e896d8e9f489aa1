// The Linux platform's command-line splitting and xcopy translation.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>

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

}  // namespace
}  // namespace torvic
