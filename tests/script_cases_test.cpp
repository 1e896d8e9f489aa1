// Runs the script cases of tests/cases/*.cases: each case sets up a working
// text, files, answers and a clock, runs its script lines through the engine
// on the scripted host and the recording platform, and checks what it
// expects. The format is described in tests/cases/README.md.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "base/cp1252.h"
#include "base/files.h"
#include "base/text.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;

struct Directive {
    std::string key;   // "text", "expect cursor", ">" ...
    std::string arg;   // what follows, raw
    int line = 0;      // in the case file
};

struct Case {
    std::string file;
    std::string name;
    int line = 0;
    std::vector<Directive> directives;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.file << ".cases:" << c.line; }

std::vector<Case> loadCases() {
    std::vector<Case> cases;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(TORVIC_CASES_DIR))
        if (e.path().extension() == ".cases") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        std::ifstream in(path);
        std::string raw;
        int n = 0;
        while (std::getline(in, raw)) {
            ++n;
            if (raw.empty() || raw[0] == '#') continue;
            if (raw.starts_with("== ")) {
                cases.push_back({path.stem().string(), raw.substr(3), n, {}});
                continue;
            }
            if (cases.empty()) continue;
            Directive d;
            d.line = n;
            if (raw.starts_with("> ")) {
                d.key = ">";
                d.arg = raw.substr(2);
            } else {
                std::size_t colon = raw.find(": ");
                std::size_t end = colon == std::string::npos ? raw.size() : colon;
                if (colon == std::string::npos && raw.back() == ':') end = raw.size() - 1;
                d.key = raw.substr(0, end);
                d.arg = end + 2 <= raw.size() ? raw.substr(end + 2) : "";
            }
            cases.back().directives.push_back(d);
        }
    }
    return cases;
}

// "\r", "\n", "\t", "\\", "\xHH", "{N*text}" and "{dir}" in a UTF-8 text; the
// result in code page 1252.
std::string unescape(const std::string& s, const std::string& dir) {
    static const std::regex repeat(R"(\{(\d+)\*([^}]*)\})");
    std::string expanded;
    auto begin = std::sregex_iterator(s.begin(), s.end(), repeat);
    std::size_t last = 0;
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        expanded += s.substr(last, static_cast<std::size_t>(it->position()) - last);
        for (int i = std::stoi((*it)[1]); i > 0; --i) expanded += (*it)[2];
        last = static_cast<std::size_t>(it->position() + it->length());
    }
    expanded += s.substr(last);
    std::string out;
    for (std::size_t i = 0; i < expanded.size(); ++i) {
        if (expanded.compare(i, 5, "{dir}") == 0) {
            out += dir;
            i += 4;
            continue;
        }
        if (expanded[i] != '\\' || i + 1 == expanded.size()) {
            out += expanded[i];
            continue;
        }
        char c = expanded[++i];
        if (c == 'r') out += '\r';
        else if (c == 'n') out += '\n';
        else if (c == 't') out += '\t';
        else if (c == '\\') out += '\\';
        else if (c == 'x') {
            out += static_cast<char>(std::stoi(expanded.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += '\\';
            out += c;
        }
    }
    return L1252(out);
}

std::vector<std::string> splitBar(const std::string& s) {
    std::vector<std::string> parts;
    if (s.empty()) return parts;
    for (std::string_view p : split(s, '|')) parts.emplace_back(trimBlanks(p));
    return parts;
}

class ScriptCase : public testing::TestWithParam<Case> {};

TEST_P(ScriptCase, Runs) {
    const Case& c = GetParam();
    test::TempDir dir;
    test::Rig rig;
    std::vector<std::string> script;
    bool ran = false, checkMessages = false, hidden = false;
    std::vector<std::string> expectedMessages;

    auto run = [&] {
        if (ran) return;
        ran = true;
        rig.host.editor = test::Rig::join(script);
        if (hidden) rig.engine.runHidden();
        else if (rig.host.text3Field != "0") rig.engine.continueRun();
        else rig.engine.runAll();
    };
    auto kindName = [](const test::Message& m) {
        return m.kind == test::Message::Box ? "box" : m.kind == test::Message::Question ? "question" : "timed";
    };

    for (const Directive& d : c.directives) {
        SCOPED_TRACE(c.file + ".cases:" + std::to_string(d.line) + ": " + d.key);
        const std::string value = unescape(d.arg, dir.path());
        if (d.key == ">") {
            script.push_back(value);
        } else if (d.key == "text") {
            rig.engine.document.textTreball = value;
            rig.engine.document.posTreball = 1;
        } else if (d.key == "cursor") {
            rig.engine.document.posTreball = std::stoi(value);
        } else if (d.key == "prefix") {
            rig.engine.document.referenciaDefecte = value;
        } else if (d.key.starts_with("file ")) {
            ASSERT_TRUE(writeFileSafely(dir / d.key.substr(5), value));
        } else if (d.key == "answers") {
            for (std::string_view a : split(value, ' ')) rig.host.answers.push_back(a == "yes");
        } else if (d.key == "clock") {
            int y, mo, da, h, mi, se;
            ASSERT_EQ(std::sscanf(value.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &da, &h, &mi, &se), 6);
            rig.platform.setClock(y, mo, da, h, mi, se);
        } else if (d.key == "start") {
            rig.host.text3Field = value;
        } else if (d.key == "hidden") {
            hidden = true;
        } else if (d.key == "advance") {
            run();
            rig.host.advance(std::stoll(value));
        } else if (d.key == "expect message") {
            checkMessages = true;
            expectedMessages.push_back(value);
        } else if (d.key == "expect no messages") {
            checkMessages = true;
        } else {
            run();
            if (d.key == "expect text") {
                EXPECT_EQ(rig.engine.document.textTreball, value);
            } else if (d.key == "expect cursor") {
                EXPECT_EQ(rig.engine.document.posTreball, std::stoi(value));
            } else if (d.key == "expect prefix") {
                EXPECT_EQ(rig.engine.document.referenciaDefecte, value);
            } else if (d.key.starts_with("expect file ")) {
                EXPECT_EQ(readFileBytes(dir / d.key.substr(12)).value_or("<no file>"), value);
            } else if (d.key.starts_with("expect no file ")) {
                EXPECT_FALSE(fs::exists(dir / d.key.substr(15)));
            } else if (d.key == "expect calls") {
                EXPECT_EQ(rig.platform.calls, splitBar(value));
                rig.platform.calls.clear();
            } else if (d.key == "expect lines") {
                std::vector<int> lines;
                std::istringstream in(value);
                for (int i; in >> i;) lines.push_back(i);
                EXPECT_EQ(rig.host.linesRun, lines);
            } else if (d.key.starts_with("expect entry ")) {
                EXPECT_EQ(rig.engine.run.entry(std::stoi(d.key.substr(13))), value);
            } else if (d.key == "expect wait") {
                EXPECT_EQ(rig.engine.run.horaEspera, value);
            } else if (d.key == "expect result") {
                const char* result = rig.host.ended                   ? "program-ended"
                                     : rig.engine.runEndedByNo()      ? "ended-by-no"
                                     : rig.host.text3Field == "Acabat" ? "finished"
                                                                       : "waiting";
                EXPECT_EQ(result, value);
            } else {
                ADD_FAILURE() << "unknown directive '" << d.key << "'";
            }
        }
    }
    run();
    SCOPED_TRACE(c.file + ".cases:" + std::to_string(c.line) + ": " + c.name);
    EXPECT_TRUE(rig.host.answers.empty()) << "answers left over";
    if (!checkMessages) {
        for (const test::Message& m : rig.host.messages)
            ADD_FAILURE() << "unexpected " << kindName(m) << ": " << cp1252::toUtf8(m.text);
        return;
    }
    ASSERT_EQ(rig.host.messages.size(), expectedMessages.size());
    for (std::size_t i = 0; i < expectedMessages.size(); ++i) {
        const test::Message& m = rig.host.messages[i];
        std::vector<std::string> want = splitBar(expectedMessages[i]);
        ASSERT_FALSE(want.empty());
        EXPECT_EQ(kindName(m), want[0]) << "message " << i;
        if (want.size() > 1) {
            EXPECT_EQ(m.title, want[1]) << "message " << i;
        }
        if (want.size() > 2) {
            EXPECT_EQ(m.text, want[2]) << "message " << i;
        }
    }
}

std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string name = info.param.file + "_" + std::to_string(info.param.line) + "_";
    for (char ch : info.param.name) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptCase, testing::ValuesIn(loadCases()), caseName);

}  // namespace
}  // namespace torvic
