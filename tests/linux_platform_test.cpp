// The Linux platform: command lines, xcopy's translation, children reaped,
// the file writer, and names crossing to the system in UTF-8.
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <thread>

#include <locale.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

#include "platform/conventions.h"
#include "platform/files.h"
#include "platform/platform_texts.h"
#include "platform/linux/desktop_backend.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/system_error.h"
#include "tests/support/fake_views.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

TEST(LinuxPlatform, SplitsCommandLines) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"calc", {"calc"}}, {"  a  b\tc ", {"a", "b", "c"}}, {"\"my prog\" \"an arg\" x\"y z\"", {"my prog", "an arg", "xy z"}},
        {"a \"\" b", {"a", "", "b"}}, {"", {}}};
    for (const auto& [line, words] : cases) EXPECT_EQ(LinuxPlatform::splitCommandLine(line), words) << line;
}

// Each switch's cp option, and the top files alone without /s.
TEST(LinuxPlatform, TranslatesXcopySwitches) {
    test::TempDir tmp;
    std::filesystem::create_directories(tmp / "src/sub");
    ASSERT_TRUE(writeFileSafely(tmp / "src/a.txt", "a") && writeFileSafely(tmp / "file.txt", "f"));
    using V = std::vector<std::string>;
    const std::string src = tmp / "src", dst = tmp / "dst", top = src + "/a.txt";
    const std::tuple<std::string, const char*, V> cases[] = {
        {src, "/s /E /y /d /k /q", {"cp", "-f", "-u", "-p", "-R", src + "/.", dst}}, {src, "", {"cp", "-t", dst, top}},
        {tmp / "file.txt", "", {"cp", tmp / "file.txt", dst}}, {src + "/*.txt", "", {"cp", "-t", dst, top}},
        {src + "/*.none", "", {}}};
    for (const auto& [from, switches, args] : cases) EXPECT_EQ(LinuxPlatform::xcopyArguments(from, dst, switches), args) << from;
    EXPECT_TRUE(std::filesystem::is_directory(dst));  // the folder for the top files was made
}

// Whether a child of this process has ended and was not reaped (left as it is).
bool defunctChild() {
    siginfo_t info{};
    return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

// Whether a process is gone: ended and reaped (a zombie still has its entry).
bool gone(double pid) { return !std::filesystem::exists("/proc/" + std::to_string(static_cast<long>(pid))); }

TEST(LinuxPlatform, ReapsEveryChildItStarts) {
    LinuxPlatform platform;
    platform.shellExecute("open", "/nonexistent/torvic-test-document", 0);  // xdg-open (or nothing) ends at once
    std::vector<double> children;
    for (int i = 0; i < 3; ++i) children.push_back(platform.startProgram("true", 0));
    for (int tries = 0; tries < 500 && !std::all_of(children.begin(), children.end(), gone); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (double pid : children) EXPECT_TRUE(gone(pid)) << pid << " was left unreaped";
    EXPECT_FALSE(defunctChild());
}

// focu's error names what it found: no such process, or the program the
// process runs and where no window of it was seen.
TEST(LinuxPlatform, FocuNamesWhatItFound) {
    const std::pair<double, std::string> cases[] = {
        {-5, L1252("focu: no hi ha cap procés -5")},
        {4194400, L1252("focu: no hi ha cap procés 4194400")},
        {static_cast<double>(getpid()), L1252("focu: el procés ") + std::to_string(getpid()) +
                                            L1252(" (torvic_tests) no té cap finestra a la pantalla X ':9'")},
    };
    for (const auto& [pid, expected] : cases)
        EXPECT_EQ(std::string(noWindowFound(pid, platform_texts::onXDisplay(":9")).what()).substr(0, expected.size()), expected);
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

// A killed save's temporary file of the same target is removed by the next
// save; one of another target is not, nor one a save under way holds; a
// stamp tells a changed file. (Read-only files, 255-byte names: safe_save_e2e.sh.)
TEST(Files, StaleTemporariesAndStamps) {
    namespace fs = std::filesystem;
    test::TempDir tmp;
    std::string pattern = temporaryNamePattern("doc.txt");
    ASSERT_EQ(pattern.substr(pattern.size() - 6), "XXXXXX");
    const std::string stale = tmp / (pattern.substr(0, pattern.size() - 6) + "a1b2c3");
    const std::string held = tmp / (pattern.substr(0, pattern.size() - 6) + "d4e5f6");
    const std::string other = tmp / (temporaryNamePattern("altre.txt").substr(0, pattern.size() - 6) + "a1b2c3");
    for (const std::string& f : {stale, held, other}) ASSERT_TRUE(appendFileBytes(f, "half"));
    const int holder = open(held.c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    ASSERT_TRUE(writeFileSafely(tmp / "doc.txt", "whole"));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(held));
    EXPECT_TRUE(fs::exists(other));
    close(holder);
    const std::optional<FileStamp> before = fileStamp(tmp / "doc.txt");
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(fileStamp(tmp / "doc.txt"), before);
    ASSERT_TRUE(writeFileSafely(tmp / "doc.txt", "whole!"));
    EXPECT_NE(fileStamp(tmp / "doc.txt"), before);
    EXPECT_FALSE(fileStamp(tmp / "none.txt").has_value());
}

// Names 1252 cannot spell match patterns by characters, in byte order,
// hidden ones left out. (Commands by such names: torvicrun_e2e.sh.)
TEST(LinuxNames, FoldersAndPatternsAreSystemNames) {
    test::TempDir tmp;
    const std::string dir = tmp / "carpeta→ő";  // a name 1252 cannot spell
    std::filesystem::create_directory(dir);
    for (const char* name : {"b→.torvic", "à.torvic", "àb.torvic", ".amagat.torvic", "c.txt"})
        ASSERT_TRUE(writeFileSafely(dir + "/" + name, ""));
    std::filesystem::create_directory(dir + "/a.torvic");
    using V = std::vector<std::string>;
    const std::pair<const char*, V> patterns[] = {
        {"*.torvic", {"b→.torvic", "à.torvic", "àb.torvic"}},
        {"?.torvic", {"à.torvic"}},
        {"??.torvic", {"b→.torvic", "àb.torvic"}},
        {"*b*", {"b→.torvic", "àb.torvic"}},
        {"à*", {"à.torvic", "àb.torvic"}},
        {"**.t?t", {"c.txt"}},
        {"*", {"b→.torvic", "c.txt", "à.torvic", "àb.torvic"}},
        {"*.none", {}},
        {"→*", {}},
    };
    for (const auto& [pattern, names] : patterns) {
        V want;
        for (const std::string& name : names) want.push_back(dir + "/" + name);
        EXPECT_EQ(conventions::matchingFiles(dir + "/" + pattern), want) << pattern;
        EXPECT_EQ(conventions::firstMatchingFile(dir + "/" + pattern), want.empty() ? "" : want.front()) << pattern;
    }
    EXPECT_EQ(conventions::folderPart(dir + "/à.torvic"), dir + "/");
    ASSERT_TRUE(writeFileSafely(dir + "/torvic.rtf", "{}"));
    EXPECT_EQ(conventions::programDataFile(dir, "torvic.rtf"), dir + "/torvic.rtf");
    EXPECT_EQ(conventions::programDataFile(dir, "missing.rtf"), "");
    EXPECT_TRUE(std::filesystem::exists(conventions::programFolder() + "/torvic_tests"));
}

TEST(LinuxNames, AppendingNeverTouchesWhatWasThere) {
    test::TempDir tmp;
    std::string error;
    EXPECT_TRUE(appendFileBytes(tmp / "nou.txt", "a", &error)) << error;
    EXPECT_TRUE(appendFileBytes(tmp / "nou.txt", "", &error)) << error;
    EXPECT_TRUE(appendFileBytes(tmp / "nou.txt", "bc", &error)) << error;
    EXPECT_EQ(readFileBytes(tmp / "nou.txt").value_or("<missing>"), "abc");
    EXPECT_FALSE(appendFileBytes(tmp / "no/such/folder.txt", "x", &error));
    EXPECT_EQ(error, systemErrorText(ENOENT));
    EXPECT_FALSE(appendFileBytes(std::string("a\0b", 3), "x", &error));
    EXPECT_EQ(error, platform_texts::nulInName());
    ASSERT_EQ(mkfifo((tmp / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(appendFileBytes(tmp / "fifo", "x", &error));  // no reader: refused, not waited on
    EXPECT_EQ(error, platform_texts::notAPlainFile());
}

// A backslash separates folders here too; a name with a drive is refused
// naming the drive. (open, save, copy and the command line: torvicrun_e2e.sh.)
TEST(LinuxNames, NamesSpelledTheWindowsWay) {
    namespace fs = std::filesystem;
    const std::pair<std::string, std::string> drives[] = {
        {"C:\\dades\\f.txt", "C:"}, {"d:/x", "d:"}, {"Z:", "Z:"}, {"c:x.txt", ""}, {"1:\\x", ""},
        {"ab:\\x", ""}, {"\\dades\\f.txt", ""}, {"dades\\C:\\f.txt", ""}, {"", ""},
    };
    for (const auto& [name, drive] : drives) EXPECT_EQ(foreignDrive(name), drive) << name;
    EXPECT_EQ(systemName(L1252("dades\\plaça\\f.txt")), "dades/plaça/f.txt");

    test::TempDir tmp;
    fs::create_directories(tmp / "dades");
    ASSERT_TRUE(writeFileSafely(tmp / "dades/f.txt", "Llista\nART1 a\nART2 b\n"));
    const std::string win = tmp.path() + "\\dades\\";  // the folder as a script from Windows spells it
    const auto contains = [](const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; };
    test::Rig rig;
    rig.run({"open(\"" + win + "f.txt\")", "repl(\"1 a\",\"1 A\")", "save(\"" + win + "o.txt\")", "def(ART)",
             "ref(\"" + win + "r.txt\",\"2\")"});
    EXPECT_TRUE(rig.host.messages.empty()) << rig.host.messages.at(0).text;
    EXPECT_EQ(readFileBytes(tmp / "dades/o.txt").value_or("<none>"), "Llista\nART1 A\nART2 b\n");
    EXPECT_EQ(readFileBytes(tmp / "dades/r.txt").value_or("<none>"), "ART2 b\n");
    const std::pair<std::string, std::string> refused[] = {
        {"open(\"C:" + win + "f.txt\")", "C:"}, {"save(\"D:\\o.txt\")", "D:"}, {"ref(\"E:\\r.txt\",\"ART2\")", "E:"},
    };
    for (const auto& [line, drive] : refused) {
        test::Rig r;
        r.host.answers = {true, true};
        r.run({"open(\"" + win + "f.txt\")", line});
        ASSERT_EQ(r.host.messages.size(), 1u) << line;
        EXPECT_TRUE(contains(r.host.messages[0].text, "unitat " + drive)) << r.host.messages[0].text;
    }

    LinuxPlatform platform;
    platform.xcopy(win + "*.txt", tmp.path() + "\\copia", "/y");
    for (int tries = 0; tries < 500 && !fs::exists(tmp / "copia/r.txt"); ++tries)  // cp runs in the background
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(tmp / "copia/f.txt") && fs::exists(tmp / "copia/r.txt"));
    const std::pair<std::function<void()>, std::string> withDrives[] = {
        {[&] { platform.copyFile("F:\\f.txt", win + "x.txt"); }, "F:"},
        {[&] { platform.copyFile(win + "f.txt", "g:"); }, "g:"},
        {[&] { platform.xcopy("H:\\dades", win, "/s"); }, "H:"},
        {[&] { platform.startProgram("C:\\Windows\\notepad.exe", 1); }, "C:"},
        {[&] { platform.startProgram("true \"I:\\a b.txt\"", 0); }, "I:"},
        {[&] { platform.shellExecute("open", "\"J:\\a b.pdf\"", 1); }, "J:"},
    };
    for (const auto& [run, drive] : withDrives) try {
            run();
            ADD_FAILURE() << drive << " was not refused";
        } catch (const RunTimeError& e) {
            EXPECT_TRUE(contains(e.what(), "unitat " + drive)) << e.what();
        }
    EXPECT_FALSE(fs::exists(tmp / "dades/x.txt"));
}

// The reasons the system gives are read in Catalan: the C library's own
// where the system has a Catalan locale, else the program's.
TEST(SystemErrorText, IsCatalanNotTheSystemsEnglish) {
    const locale_t plain = newlocale(LC_ALL_MASK, "C", nullptr);
    ASSERT_NE(plain, locale_t{});
    for (int code : {ENOENT, EACCES, EISDIR, ENOTDIR, ENOSPC, EROFS, EEXIST, ENAMETOOLONG, ELOOP, ETXTBSY}) {
        const std::string text = systemErrorText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_NE(text, strerror_l(code, plain)) << code;
    }
    // One no table knows still says which it is.
    EXPECT_NE(systemErrorText(4242).find(L1252("error del sistema 4242")), std::string::npos);
    freelocale(plain);
}

}  // namespace
}  // namespace torvic
