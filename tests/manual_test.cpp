// The manual is built from the keyword table: in both its forms, read back
// as a reader sees them, every keyword has its section with its hint and an
// example that the program reads as that command.
#include <gtest/gtest.h>

#include <sstream>

#include "base/cp1252.h"
#include "editor/manual.h"
#include "engine/commands.h"
#include "script/run_context.h"

namespace torvic {
namespace {

// What a browser shows of an HTML page's body, a line per block.
std::string htmlAsText(const std::string& html) {
    std::string out;
    const std::size_t body = html.find("<body>");
    for (std::size_t i = body == std::string::npos ? 0 : body; i < html.size(); ++i) {
        if (html[i] == '<') {
            const std::size_t end = html.find('>', i);
            const std::string tag = html.substr(i, end - i + 1);
            if (tag.starts_with("</h") || tag == "</p>" || tag == "</pre>") out += '\n';
            i = end;
        } else if (html[i] == '&') {
            const std::size_t end = html.find(';', i);
            const std::string entity = html.substr(i, end - i + 1);
            out += entity == "&amp;" ? "&" : entity == "&lt;" ? "<" : entity == "&gt;" ? ">" : entity == "&quot;" ? "\"" : "?";
            i = end;
        } else if (html[i] != '\n') {
            out += html[i];
        }
    }
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// In the RTF form each keyword's heading stands as an RTF paragraph; in the
// HTML form, as a reader sees it, the keyword is alone on a line, then its
// hint, and its example is a line of that command.
TEST(Manual, BothFormsHoldEveryKeywordsSection) {
    const std::string rtf = manualRtf(), text = htmlAsText(manualHtml());
    const std::vector<std::string> l = lines(text);
    ASSERT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1252"));
    for (const CommandRow& row : commandTable()) {
        EXPECT_NE(rtf.find("\\fs24 " + std::string(row.keyword) + "\\b0\\fs20\\par"), std::string::npos) << row.keyword;
        const auto at = std::find(l.begin(), l.end(), std::string(row.keyword));
        ASSERT_LT(at - l.begin() + 4, l.end() - l.begin()) << row.keyword;
        EXPECT_EQ(at[1] + "|" + at[3], std::string(row.hint) + "|Exemple:") << row.keyword;
        EXPECT_EQ(RunContext::keywordOf(cp1252::fromUtf8(at[4])), row.keyword) << at[4];
    }
}

}  // namespace
}  // namespace torvic
