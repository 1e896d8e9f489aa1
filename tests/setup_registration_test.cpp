// The installer's desktop registration: the files it writes under a data
// folder, their Exec lines read back as a desktop would, launchers, and an
// uninstallation that leaves a home as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/linux/xdg_registration.h"
#include "tests/support/scripted_host.h"

namespace torvic::xdg {
namespace {

// The arguments a desktop makes of an Exec value (string escapes undone,
// then quoting), with %f standing for `file`.
std::vector<std::string> execArguments(const std::string& value, const std::string& file) {
    std::string line;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 1 < value.size() && value[i + 1] == '%') {
            line += value[++i];
            continue;
        }
        line += value[i] == '\\' && i + 1 < value.size() ? value[++i] : value[i];
    }
    std::vector<std::string> args;
    std::string current;
    bool quoted = false, started = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '\\' && i + 1 < line.size()) {
            current += line[++i];
        } else if (c == '"') {
            quoted = !quoted;
            started = true;
        } else if (c == ' ' && !quoted) {
            if (started) args.push_back(current == "%f" ? file : current);
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started) args.push_back(current == "%f" ? file : current);
    return args;
}

// The value of `key` in `group` of a desktop file.
std::string entry(const std::string& contents, const std::string& group, const std::string& key) {
    std::size_t g = contents.find("[" + group + "]");
    if (g == std::string::npos) return "<no group>";
    std::size_t k = contents.find("\n" + key + "=", g);
    std::size_t next = contents.find("\n[", g + 1);
    if (k == std::string::npos || (next != std::string::npos && k > next)) return "<no key>";
    k += key.size() + 2;
    return contents.substr(k, contents.find('\n', k) - k);
}

TEST(SetupRegistration, ExecArgumentsAreQuotedForDesktopEntries) {
    EXPECT_EQ(execArgument("/usr/bin/torvic"), "/usr/bin/torvic");
    EXPECT_EQ(execArgument("/home/u/My Apps/torvic"), "\"/home/u/My Apps/torvic\"");
    EXPECT_EQ(execArgument("/a$b/c\"d\\e"), "\"/a\\\\$b/c\\\\\"d\\\\\\\\e\"");
    for (const std::string dir : {"/opt/Torvic/", "/home/u/My Apps/Torvic/", "/tmp/a$b \"c\"/", "/tmp/100%/"}) {
        const std::string desktop = registryFiles(dir)[1].contents;
        EXPECT_EQ(execArguments(entry(desktop, "Desktop Entry", "Exec"), "/x/job 1.torvic"),
                  (std::vector<std::string>{dir + "torvic", "/exec", "/x/job 1.torvic"}))
            << dir;
        EXPECT_EQ(execArguments(entry(desktop, "Desktop Action Edit", "Exec"), "/x/j.torvic"),
                  (std::vector<std::string>{dir + "torvic", "/x/j.torvic"}))
            << dir;
    }
}

namespace fs = std::filesystem;

// Every path under a folder, for before-and-after comparisons.
std::vector<std::string> fileList(const std::string& root) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(SetupRegistration, InstallTwiceThenUninstallLeavesHomeAsItWas) {
    test::TempDir tmp;
    std::error_code ec;
    // A home without a desktop folder (the installation makes it), with an
    // entry and a mimeapps.list of its own.
    const std::string home = tmp / "home";
    fs::create_directories(home + "/.config");
    fs::create_directories(home + "/.local/share/applications");
    std::ofstream(home + "/.local/share/applications/other.desktop")
        << "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n";
    std::ofstream(home + "/.config/mimeapps.list") << "[Added Associations]\ntext/plain=editor.desktop;\n";
    const std::vector<std::string> before = fileList(home);
    XdgInstallation inHome{{tmp / "src", home, home + "/.local/share", home + "/.config", home + "/Desktop"}};
    const std::string dir = inHome.defaultDirectory();
    for (int round = 0; round < 2; ++round) {  // a second installation over the first
        inHome.registerInstallation(dir);
        fs::create_directories(dir);
        for (const ShippedFile& f : inHome.shippedFiles()) std::ofstream(dir + f.name) << f.name;
    }
    std::ofstream(home + "/.local/opt/Torvic/notes.txt") << "the user's own";  // stays
    // The default association as a desktop's tool writes it, beside a group
    // of the user's own: the group goes once our line has gone.
    std::ofstream(home + "/.config/mimeapps.list")
        << "[Added Associations]\ntext/plain=editor.desktop;\n[Default Applications]\napplication/x-torvic=torvic.desktop;\n";
    EXPECT_EQ(xdg::installedDirectory(inHome.places().dataHome), home + "/.local/opt/Torvic/");
    EXPECT_EQ(inHome.uninstall(), home + "/.local/opt/Torvic/");
    EXPECT_TRUE(fs::exists(home + "/.local/opt/Torvic/notes.txt"));
    // The parents made for the default directory stay; the rest is as it was.
    fs::remove_all(home + "/.local/opt", ec);
    EXPECT_EQ(fileList(home), before);
    EXPECT_EQ(readFileBytes(home + "/.config/mimeapps.list").value_or(""),
              "[Added Associations]\ntext/plain=editor.desktop;\n");
}


}  // namespace
}  // namespace torvic::xdg
