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

TEST_F(FilesTest, OpenAndSaveRoundTripEveryByte) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    all += "\x1A after the end-of-file mark";
    put("in.bin", all);
    Rig rig;
    rig.run({"open(\"" + path("in.bin") + "\")", "save(\"" + path("out.bin") + "\")"});
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_EQ(rig.engine.document.textTreball, all);
    EXPECT_EQ(rig.engine.document.posTreball, 1);
    EXPECT_EQ(get("out.bin"), all);  // no line break added
}

TEST_F(FilesTest, OpenOfAMissingFileEmptiesTheTextAndReports) {
    Rig rig;
    rig.engine.document.textTreball = "old";
    rig.engine.document.posTreball = 9;
    rig.run({"'0", "open(\"" + path("nope.txt") + "\")", "save(\"" + path("out.txt") + "\")", "beep"});
    ASSERT_EQ(rig.host.messages.size(), 1u);
    const Message& m = rig.host.messages[0];
    EXPECT_EQ(m.kind, Message::Box);
    EXPECT_EQ(m.title, "Error en trobar el fitxer:");
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_EQ(m.text, L1252("Error en comanda OPEN en linia  1: El fitxer especificat no s'ha pogut trobar."));
    EXPECT_EQ(rig.engine.document.textTreball, "");
    EXPECT_EQ(rig.engine.document.posTreball, 1);
    EXPECT_EQ(rig.engine.run.parametresLinia[0], "");
    EXPECT_FALSE(fs::exists(path("out.txt")));  // nothing to save
    EXPECT_EQ(rig.platform.calls.size(), 1u);   // the run went on
}

TEST_F(FilesTest, EmptyFileGivesEmptyTextAndNoSave) {
    put("empty.txt", "");
    Rig rig;
    rig.run({"open(\"" + path("empty.txt") + "\")", "save(\"" + path("out.txt") + "\")"});
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_FALSE(fs::exists(path("out.txt")));
}

TEST_F(FilesTest, SaveToAnUnwritablePlaceReports) {
    Rig rig;
    rig.engine.document.textTreball = "data";
    rig.run({"save(\"" + path("no/such/dir/x.txt") + "\")", "save(\"" + dir.string() + "\")"});
    ASSERT_EQ(rig.host.messages.size(), 2u);
    EXPECT_EQ(rig.host.messages[0].text,
              L1252("Error en comanda SAVE en linia  0: El fitxer especificat no s'ha pogut trobar."));
    EXPECT_EQ(rig.host.messages[0].title, "Error en trobar el fitxer:");
    EXPECT_EQ(rig.engine.document.textTreball, "data");
}

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
