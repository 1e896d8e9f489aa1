// The file writer keeps permissions and symbolic links.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/files.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;

TEST(Files, WriterKeepsPermissionsAndLinks) {
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
