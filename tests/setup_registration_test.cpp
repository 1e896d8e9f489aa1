// The installer's desktop entries: the record of what an installation made,
// and uninstalling takes nothing of the user's. (The desktop's own tools on
// real entries: setup_names_e2e.sh, setup_e2e.sh.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/linux/xdg_registration.h"
#include "tests/support/scripted_host.h"

namespace torvic::xdg {
namespace {

namespace fs = std::filesystem;

// The spelt value of `key` in `group` of a desktop file.
std::string entry(const std::string& contents, const std::string& group, const std::string& key) {
    std::size_t g = contents.find("[" + group + "]");
    if (g == std::string::npos) return "<no group>";
    std::size_t k = contents.find("\n" + key + "=", g);
    std::size_t next = contents.find("\n[", g + 1);
    if (k == std::string::npos || (next != std::string::npos && k > next)) return "<no key>";
    k += key.size() + 2;
    return contents.substr(k, contents.find('\n', k) - k);
}

// Folder names as people write them: "%", quotes, "$", a backtick, a
// backslash, accents, characters no code page has, blanks, "=" and ";".
const std::string kFolders[] = {"/opt/Torvic/",         "/home/u/My Apps/Torvic/", "/tmp/a$b \"c\"/",
                                "/tmp/100% projectes/", "/tmp/accent `greu`/",     "/tmp/barra \\ inversa/",
                                "/tmp/Projectò/",       "/tmp/Projectes→2026 项目/", "/tmp/a=b 50%; ' x /"};

// An entry reads back the folder and what was made (separators, escapes,
// blanks at either end, control characters), an older entry its Exec
// line's folder; a package's records nothing. (Exec lines started by GLib:
// setup_names_e2e.sh; the package's Exec line: deb_package.sh.)
TEST(SetupRegistration, TheEntryRecordsWhereAndWhatTheInstallationMade) {
    EXPECT_EQ(entry(registryFiles("")[1].contents, "Desktop Entry", kDirectoryKey), "<no key>");
    test::TempDir tmp;
    for (const std::string& dir : kFolders) {
        const std::vector<std::string> made = {dir, tmp / "data;x", tmp / "back\\slash ", " ò\tline\nbreak\r"};
        const RegistryFile handler = registryFiles(dir, made)[1];
        fs::create_directories(tmp / "data/applications");
        ASSERT_TRUE(writeFileSafely(tmp / ("data/" + handler.path), handler.contents));
        const InstallationRecord record = installationRecord(tmp / "data");
        EXPECT_EQ(record.directory, dir);
        EXPECT_EQ(record.made, made);
    }
    ASSERT_TRUE(writeFileSafely(tmp / "data/applications/torvic.desktop",
                                "[Desktop Entry]\nExec=\"/home/u/My Apps/Torvic/torvic\" /exec %f\n"));
    EXPECT_EQ(installationRecord(tmp / "data").directory, "/home/u/My Apps/Torvic/");
    EXPECT_TRUE(installationRecord(tmp / "nowhere").directory.empty());
}

// Every path under `root`, relative to it.
std::vector<std::string> listing(const std::string& root) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) out.push_back(fs::relative(e.path(), root).string());
    std::sort(out.begin(), out.end());
    return out;
}

// Uninstalling keeps the user's file in the program's folder, an icon, the
// index of entries, and the default-applications list (less its line).
// (Whole installations in fresh and used homes: setup_names_e2e.sh.)
TEST(SetupRegistration, WhatTheUserHadOrPutInStays) {
    test::TempDir tmp;
    const std::string home = tmp / "home";
    fs::create_directories(home + "/.config");
    fs::create_directories(home + "/.local/share/applications");
    ASSERT_TRUE(writeFileSafely(home + "/.config/mimeapps.list", ""));
    ASSERT_TRUE(writeFileSafely(home + "/.local/share/applications/mimeinfo.cache", "[MIME Cache]\n"));
    XdgInstallation system({tmp / "src", home, home + "/.local/share", home + "/.config", ""});
    const std::string dir = system.defaultDirectory();
    std::vector<std::string> made;
    for (const std::string& p : system.placesItMayMake(dir))
        if (!fs::exists(p)) made.push_back(p);
    const RegistryFile handler = registryFiles(dir, made)[1];
    fs::create_directories(home + "/.local/share/icons");
    fs::create_directories(dir);
    ASSERT_TRUE(writeFileSafely(home + "/.local/share/" + handler.path, handler.contents));
    ASSERT_TRUE(writeFileSafely(dir + "notes.txt", "the user's own"));
    ASSERT_TRUE(writeFileSafely(home + "/.local/share/icons/mine.png", "the user's own"));
    ASSERT_TRUE(writeFileSafely(home + "/.config/mimeapps.list", "[Default Applications]\napplication/x-torvic=torvic.desktop\n"));
    desinstallar(home + "/.local/share", home + "/.config", "");
    EXPECT_EQ(listing(home),
              (std::vector<std::string>{".config", ".config/mimeapps.list", ".local", ".local/opt", ".local/opt/Torvic",
                                        ".local/opt/Torvic/notes.txt", ".local/share", ".local/share/applications",
                                        ".local/share/applications/mimeinfo.cache", ".local/share/icons",
                                        ".local/share/icons/mine.png"}));
    EXPECT_EQ(readFileBytes(home + "/.config/mimeapps.list").value_or("?"), "");
}

// A failed installation takes its registration back: all of it when none
// was there before, none of it over an earlier installation.
TEST(SetupRegistration, AFailedInstallationTakesItsRegistrationBack) {
    test::TempDir tmp;
    const std::string home = tmp / "home";
    fs::create_directories(home);
    XdgInstallation system({tmp / "src", home, home + "/.local/share", home + "/.config", home + "/Desktop"});
    system.registerInstallation(tmp / "first/");
    system.undoRegistration();
    EXPECT_EQ(listing(home), std::vector<std::string>{});
    system.registerInstallation(tmp / "first/");
    const std::vector<std::string> installed = listing(home);
    system.registerInstallation(tmp / "second/");
    system.undoRegistration();
    EXPECT_EQ(installationRecord(home + "/.local/share").directory, tmp / "second/");  // left as it was written
    EXPECT_EQ(listing(home).size(), installed.size());
}

}  // namespace
}  // namespace torvic::xdg
