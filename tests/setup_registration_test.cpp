// The installer's desktop entries: their Exec lines read back as a desktop
// reads them, for folder names with blanks, quotes, $ and %. (The whole
// installation and uninstallation: setup_e2e.sh.)
#include <gtest/gtest.h>

#include "platform/linux/xdg_registration.h"

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

}  // namespace
}  // namespace torvic::xdg
