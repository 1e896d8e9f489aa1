// open and save against real files, and the file writer's guarantees.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/cp1252.h"
#include "base/files.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;
using test::Message;
using test::Rig;

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

TEST_F(FilesTest, FailedWriteKeepsThePreviousFile) {
    const std::string old = "the previous contents\r\n";
    put("target.txt", old);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // A file-size limit makes the write fail half way.
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit lim {1000, 1000};
        setrlimit(RLIMIT_FSIZE, &lim);
        bool direct = writeFileSafely(path("target.txt"), std::string(5000, 'n'));
        Rig rig;
        rig.engine.document.textTreball = std::string(5000, 'm');
        rig.run({"save(\"" + path("target.txt") + "\")"});
        bool reported = rig.host.messages.size() == 1 && rig.host.messages[0].text.find("SAVE") != std::string::npos;
        _exit(!direct && reported ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write did not fail, or was not reported";
    EXPECT_EQ(get("target.txt"), old);
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

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
