// The manual is built from the keyword table: every keyword has its section
// with its hint and an example that the program reads as that command.
#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "editor/manual.h"
#include "engine/commands.h"
#include "engine/run_context.h"

namespace torvic {
namespace {

// The RTF form of a UTF-8 text, as the manual writes it.
std::string inRtf(std::string_view utf8) {
    std::string out;
    for (char c : cp1252::fromUtf8(utf8)) {
        const auto b = static_cast<unsigned char>(c);
        char buf[8];
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (b >= 0x80) {
            std::snprintf(buf, sizeof buf, "\\'%02x", b);
            out += buf;
        } else {
            out += c;
        }
    }
    return out;
}

TEST(Manual, EveryKeywordHasItsSection) {
    const std::string manual = manualRtf();
    ASSERT_TRUE(manual.starts_with("{\\rtf1\\ansi\\ansicpg1252"));
    ASSERT_TRUE(manual.ends_with("}\n"));
    for (const CommandRow& row : commandTable()) {
        const std::string heading = "\\fs24 " + std::string(row.keyword) + "\\b0";
        const std::size_t at = manual.find(heading);
        ASSERT_NE(at, std::string::npos) << row.keyword;
        EXPECT_NE(manual.find(inRtf(row.hint), at), std::string::npos) << row.keyword;
        // The example of the section is a line of that command.
        const std::size_t example = manual.find("Exemple:", at);
        const std::size_t line = manual.find("\\f1 ", example) + 4;
        const std::string text = manual.substr(line, manual.find("\\f0", line) - line);
        EXPECT_EQ(RunContext::keywordOf(text), row.keyword) << text;
    }
}

}  // namespace
}  // namespace torvic
