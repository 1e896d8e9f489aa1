// The Linux platform: command lines, xcopy's translation, children reaped,
// the file writer, and names crossing to the system in UTF-8.
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
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

// Whether a process is gone: ended and reaped (a zombie still has its entry).
bool gone(double pid) { return !std::filesystem::exists("/proc/" + std::to_string(static_cast<long>(pid))); }

TEST(LinuxPlatform, ReapsEveryChildItStarts) {
    LinuxPlatform platform;
    platform.shellExecute("open", "/nonexistent/torvic-test-document", 0);  // xdg-open (or nothing) ends at once
    std::vector<double> children;
    for (int i = 0; i < 3; ++i) children.push_back(platform.startProgram("true", 0));
    // Each child ends at once; the platform must reap it. Looked at once all
    // are gone, or after five seconds.
    for (int tries = 0; tries < 500 && !std::all_of(children.begin(), children.end(), gone); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (double pid : children) EXPECT_TRUE(gone(pid)) << pid << " was left unreaped";
    EXPECT_FALSE(defunctChild());
}

// The file writer keeps permissions and symbolic links.
// focu's error names what it found: no such process, or the program the
// process runs and where no window of it was seen.
TEST(LinuxPlatform, FocuNamesWhatItFound) {
    struct Case {
        double processId;
        std::string expected;
    } const cases[] = {
        {0, L1252("focu: no hi ha cap procés 0")},
        {-5, L1252("focu: no hi ha cap procés -5")},
        {4194400, L1252("focu: no hi ha cap procés 4194400")},
        {static_cast<double>(getpid()), L1252("focu: el procés ") + std::to_string(getpid()) +
                                            L1252(" (torvic_tests) no té cap finestra a la pantalla X ':9'")},
    };
    for (const Case& c : cases) {
        const std::string got = noWindowFound(c.processId, platform_texts::onXDisplay(":9")).what();
        EXPECT_EQ(got.substr(0, c.expected.size()), c.expected) << got;
    }
}

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

TEST(Files, WriterRefusesReadOnlyFilesAndFitsAnyName) {
    namespace fs = std::filesystem;
    test::TempDir tmp;
    // A file nobody may write stays as it is, whoever saves (the superuser
    // too), with the reason.
    const std::string locked = tmp / "locked.txt";
    ASSERT_TRUE(writeFileSafely(locked, "mine"));
    chmod(locked.c_str(), 0444);
    std::string why;
    EXPECT_FALSE(writeFileSafely(locked, "theirs", &why));
    EXPECT_EQ(why, platform_texts::readOnlyFile());
    EXPECT_EQ(readFileBytes(locked).value_or("<missing>"), "mine");

    // The longest name the system takes can be saved: the temporary name is
    // short whatever the target's.
    const std::string longest = tmp / std::string(255, 'n');
    EXPECT_TRUE(writeFileSafely(longest, "x", &why)) << why;
    EXPECT_TRUE(writeFileSafely(longest, "xy", &why)) << why;
    EXPECT_EQ(readFileBytes(longest).value_or("<missing>"), "xy");

    // A temporary file a killed save of the same target left is removed by
    // the next save; one of another target is not, nor is one a save under
    // way holds (locked).
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

    // A stamp tells a file changed from the same file untouched.
    const std::optional<FileStamp> before = fileStamp(tmp / "doc.txt");
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(fileStamp(tmp / "doc.txt"), before);
    ASSERT_TRUE(writeFileSafely(tmp / "doc.txt", "whole!"));
    EXPECT_NE(fileStamp(tmp / "doc.txt"), before);
    EXPECT_FALSE(fileStamp(tmp / "none.txt").has_value());
}

// ---- names: a script's 1252 names reach the file system in UTF-8 ----------

// (copy, xcopy, exec, execdoc, open, save and ref by such names through the
// real torvicrun: torvicrun_e2e.sh.)

TEST(LinuxNames, FoldersAndPatternsAreSystemNames) {
    test::TempDir tmp;
    const std::string dir = tmp / "carpeta→ő";  // a name 1252 cannot spell
    std::filesystem::create_directory(dir);
    for (const char* name : {"b→.torvic", "à.torvic", "àb.torvic", ".amagat.torvic", "c.txt"})
        ASSERT_TRUE(writeFileSafely(dir + "/" + name, ""));
    std::filesystem::create_directory(dir + "/a.torvic");
    // Characters, not bytes, whatever the locale; name order is the UTF-8
    // names' byte order; hidden files and folders are left out.
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

// Scripts come from Windows: in their names a backslash separates folders
// here too, and a name that starts with a drive is refused with a reason
// that names the drive.
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

    // open, save and ref: the documents' files.
    test::Rig rig;
    rig.run({"open(\"" + win + "f.txt\")", "repl(\"1 a\",\"1 A\")", "save(\"" + win + "o.txt\")", "def(ART)",
             "ref(\"" + win + "r.txt\",\"2\")"});
    EXPECT_TRUE(rig.host.messages.empty()) << rig.host.messages.at(0).text;
    EXPECT_EQ(readFileBytes(tmp / "dades/o.txt").value_or("<none>"), "Llista\nART1 A\nART2 b\n");
    EXPECT_EQ(readFileBytes(tmp / "dades/r.txt").value_or("<none>"), "ART2 b\n");
    // Each command with a drive: the message, or the prompt, names it.
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

    // copy, xcopy, exec and execdoc, on the system itself.
    LinuxPlatform platform;
    platform.copyFile(win + "f.txt", win + "c.txt");
    EXPECT_EQ(readFileBytes(tmp / "dades/c.txt").value_or("<none>"), "Llista\nART1 a\nART2 b\n");
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
    for (const auto& [run, drive] : withDrives) {
        try {
            run();
            ADD_FAILURE() << drive << " was not refused";
        } catch (const RunTimeError& e) {
            EXPECT_TRUE(contains(e.what(), "unitat " + drive)) << e.what();
        }
    }
    EXPECT_FALSE(fs::exists(tmp / "dades/x.txt"));

    // A name on the command line is the system's as given when a file has
    // it; otherwise it is spelled the Windows way.
    ASSERT_TRUE(writeFileSafely(tmp / "a\\b.torvic", "beep"));
    EXPECT_EQ(commandLineName(tmp / "a\\b.torvic"), tmp / "a\\b.torvic");
    EXPECT_EQ(commandLineName(tmp.path() + "\\dades\\f.txt"), tmp / "dades/f.txt");
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
