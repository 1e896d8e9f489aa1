// Runs the script cases of tests/cases/*.cases through the engine on the
// scripted host and the recording platform; the format is in
// tests/cases/README.md.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

#include "base/cp1252.h"
#include "platform/files.h"
#include "base/text.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;

struct Case {
    std::string where;  // file:line of the case
    std::vector<std::pair<std::string, std::string>> directives;  // key, value ("" key: a script line)
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.where; }

std::vector<Case> loadCases() {
    std::vector<Case> cases;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(TORVIC_CASES_DIR))
        if (e.path().extension() == ".cases") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        std::ifstream in(path);
        int n = 0;
        for (std::string raw; std::getline(in, raw);) {
            ++n;
            if (raw.starts_with("== ")) cases.push_back({path.stem().string() + ":" + std::to_string(n) + " " + raw.substr(3), {}});
            if (raw.empty() || raw[0] == '#' || raw[0] == '=' || cases.empty()) continue;
            std::size_t colon = raw.starts_with("> ") ? 0 : raw.find(':');
            std::string value = colon == std::string::npos ? "" : raw.substr(colon + (colon ? 1 : 2));
            if (!value.empty() && value[0] == ' ' && colon) value.erase(0, 1);
            cases.back().directives.emplace_back(colon ? raw.substr(0, colon) : "", value);
        }
    }
    return cases;
}

// A device name, and the reasons the system gives for a missing file, a
// missing folder and a device, as the file commands pass them on.
#ifdef _WIN32
const char* const kDevice = "NUL";
#else
const char* const kDevice = "/dev/null";
#endif

std::string systemReasons(const std::string& dir, const std::string& s) {
    if (s.find("{device}") == std::string::npos && s.find("{reason: ") == std::string::npos) return s;
    std::string missing, noFolder, device;
    readFileBytes(dir + "/no such file", &missing);
    writeFileSafely(dir + "/no/such/folder/x", "", &noFolder);
    readFileBytes(kDevice, &device);
    EXPECT_FALSE(missing.empty() || noFolder.empty() || device.empty()) << "a failure without its reason";
    std::string out = std::regex_replace(s, std::regex(R"(\{device\})"), kDevice);
    out = std::regex_replace(out, std::regex(R"(\{reason: missing file\})"), missing);
    out = std::regex_replace(out, std::regex(R"(\{reason: missing folder\})"), noFolder);
    return std::regex_replace(out, std::regex(R"(\{reason: device\})"), device);
}

// "\r", "\n", "\t", "\\", "\xHH", "{N*text}", "{dir}", "{device}" and the
// "{reason: ...}" of systemReasons in a UTF-8 text; the result in code page 1252.
std::string unescape(const std::string& s, const std::string& dir) {
    static const std::regex repeat(R"(\{(\d+)\*([^}]*)\})");
    std::string expanded = systemReasons(dir, std::regex_replace(s, std::regex(R"(\{dir\})"), dir));
    std::smatch m;
    while (std::regex_search(expanded, m, repeat)) {
        std::string copies;
        for (int i = std::stoi(m[1]); i > 0; --i) copies += m[2];
        expanded = m.prefix().str() + copies + m.suffix().str();
    }
    std::string out;
    for (std::size_t i = 0; i < expanded.size(); ++i) {
        char c = expanded[i];
        if (expanded.compare(i, 2, "\\x") == 0 && i + 3 < expanded.size()) {
            c = static_cast<char>(std::stoi(expanded.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else if (c == '\\' && i + 1 < expanded.size() && std::strchr("rnt\\", expanded[i + 1])) {
            c = expanded[++i];
            c = c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : '\\';
        }
        out += c;
    }
    return L1252(out);
}

std::vector<std::string> splitBar(const std::string& s) {
    std::vector<std::string> parts;
    if (!s.empty())
        for (std::string_view p : split(s, '|')) parts.emplace_back(trimBlanks(p));
    return parts;
}

class ScriptCase : public testing::TestWithParam<Case> {};

TEST_P(ScriptCase, Runs) {
    test::TempDir dir;
    test::Rig rig;
    std::vector<std::string> script, expectedMessages;
    bool ran = false, hidden = false;
    auto run = [&] {
        if (ran) return;
        ran = true;
        rig.host.editor = test::join(script);
        if (hidden) {
            rig.host.hide();
            rig.engine.continueRun();
        } else {
            rig.engine.runAll();
        }
    };
    const auto result = [&] {
        return rig.host.ended ? "program-ended" : rig.engine.runEndedByNo() ? "ended-by-no"
               : rig.host.text3Field == "Acabat" ? "finished" : "waiting";
    };
    for (const auto& [key, raw] : GetParam().directives) {
        SCOPED_TRACE(key + ": " + raw);
        const std::string value = unescape(raw, dir.path());
        if (key.empty()) script.push_back(value);
        else if (key == "text") rig.engine.document = {value, 1, ""};
        else if (key.starts_with("file ")) ASSERT_TRUE(writeFileSafely(dir / key.substr(5), value));
        else if (key == "answers") for (std::string_view a : split(value, ' ')) rig.host.answers.push_back(a == "yes");
        else if (key == "hidden") hidden = true;
        else if (key == "expect message") expectedMessages.push_back(value);
        else {
            run();
            if (key == "expect text") EXPECT_EQ(rig.engine.document.textTreball, value);
            else if (key == "expect cursor") EXPECT_EQ(rig.engine.document.posTreball, std::stoi(value));
            else if (key.starts_with("expect file ")) EXPECT_EQ(readFileBytes(dir / key.substr(12)).value_or("<none>"), value);
            else if (key.starts_with("expect entry ")) EXPECT_EQ(rig.engine.run.entry(std::stoi(key.substr(13))), value);
            else if (key == "expect result") EXPECT_EQ(result(), value);
            else if (key == "expect calls") EXPECT_EQ(std::exchange(rig.platform.calls, {}), splitBar(value));
            else if (key == "expect lines") {
                std::vector<int> lines;
                std::istringstream in(value);
                for (int i; in >> i;) lines.push_back(i);
                EXPECT_EQ(rig.host.linesRun, lines);
            } else ADD_FAILURE() << "unknown directive";
        }
    }
    run();
    EXPECT_TRUE(rig.host.answers.empty()) << "answers left over";
    EXPECT_EQ(rig.platform.calls, std::vector<std::string>{}) << "platform requests not expected";
    ASSERT_EQ(rig.host.messages.size(), expectedMessages.size()) << "messages";
    for (std::size_t i = 0; i < expectedMessages.size(); ++i) {
        const test::Message& m = rig.host.messages[i];
        const char* kinds[] = {"box", "question", "timed"};
        std::vector<std::string> want = splitBar(expectedMessages[i]);
        std::vector<std::string> got = {kinds[m.kind], m.title, m.text};
        got.resize(want.size());  // kind, then title and text when given
        EXPECT_EQ(got, want) << "message " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptCase, testing::ValuesIn(loadCases()), [](const testing::TestParamInfo<Case>& param) {
    std::string name = param.param.where;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

}  // namespace
}  // namespace torvic
