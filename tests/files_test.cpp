// The file writer keeps permissions and symbolic links.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "base/cp1252.h"
#include "platform/files.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return tmp / name; }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string get(const std::string& name) const { return readFileBytes(path(name)).value_or("<missing>"); }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    test::TempDir tmp;
    fs::path dir{tmp.path()};
};

TEST_F(FilesTest, WriterKeepsPermissionsAndLinks) {
    put("real.txt", "old");
    chmod(path("real.txt").c_str(), 0640);
    fs::create_symlink("real.txt", path("link.txt"));
    ASSERT_TRUE(writeFileSafely(path("link.txt"), "new"));
    EXPECT_TRUE(fs::is_symlink(path("link.txt")));
    EXPECT_EQ(get("real.txt"), "new");
    struct stat st {};
    ASSERT_EQ(stat(path("real.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(), 2u);

    ASSERT_TRUE(writeFileSafely(path("fresh.txt"), ""));
    EXPECT_TRUE(fs::exists(path("fresh.txt")));
    EXPECT_FALSE(writeFileSafely("", "x"));
}

}  // namespace
}  // namespace torvic
