#include <gtest/gtest.h>

#include "base/errors.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using Slots = std::vector<std::string>;

// Cuts `line` with the given kinds (by their numbers 1 to 4) and returns the
// first three slots.
Slots cut(const std::string& line, const std::vector<int>& kinds) {
    test::Rig rig;
    rig.engine.run.linies[0] = line;
    rig.engine.run.liniaActual = 0;
    std::vector<ParamKind> k;
    for (int kind : kinds) k.push_back(static_cast<ParamKind>(kind));
    rig.engine.run.obtParam(std::span<const ParamKind>(k));
    return Slots(rig.engine.run.parametresLinia.begin(), rig.engine.run.parametresLinia.begin() + 3);
}

TEST(ObtParam, TextWithEscapesExamples) {
    const std::string q = "\"";
    struct Case { std::string params; Slots slots; } cases[] = {
        {"\"Hola\"", {"Hola", "", ""}},
        {"\"a\"+\"b\"", {"ab", "", ""}},
        {"13+10+\"x\"", {"\r\nx", "", ""}},
        {"34+\"x\"+34", {q + "x" + q, "", ""}},
        {"\"Hola, m\xF3n\",2,\"T\"", {"Hola, m\xF3n", "2", "T"}},
        {"abc", {"abc", "", ""}},
        {"abc,2", {"", "2", ""}},
        // A blank before the opening quote is a literal piece; the quoted text is then code.
        {"\"a\",1, \"b\"", {"a", "1", " "}},
        {", 2", {"", "2", ""}},
        {"\"A\\NB\\TC\"", {"A\r\nB\tC", "", ""}},
        {"\"keep\\x\\\\\"", {"keep\\x\\\\", "", ""}},
        {"0.4+\"a\"", {std::string(1, '\0') + "a", "", ""}},
        {"\"a\"+\"b", {"ab", "", ""}},             // unbalanced quote: the rest is literal
        {"\"a\" + \"b\"", {"ab", "", ""}},          // blanks around "+" are outside quotes: no character
        {"65+66,\"t\"", {"AB", "\"t\"", ""}},   // slot 1 is plain: quotes kept
        {"+65", {"+65", "", ""}},                  // no leading code: unquoted text taken as it is
        {"\"x\"++65", {"x", "", ""}},              // only the first two terms decide whether codes count
        {"\"x\",,\"z\"", {"x", "", "z"}},
        {"255", {"\xFF", "", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(cut("msg(" + c.params + ")", {2, 1, 2}), c.slots) << c.params;
    // A character code above 255 is a run-time error.
    EXPECT_THROW(cut("msg(256)", {2}), RunTimeError);
    EXPECT_THROW(cut("msg(\"a\"+300)", {2}), RunTimeError);
}

TEST(ObtParam, OtherKindsAndListBoundaries) {
    struct Case { std::string line; std::vector<int> kinds; Slots slots; } cases[] = {
        {"send(\"a\\nb\",1)", {3, 1}, {"a\\nb", "1", ""}},  // kind 3 keeps escapes as typed
        {"send(\"{ENTER}\"+13)", {3, 1}, {"{ENTER}\r", "", ""}},
        {"exec(\"a\", 1 ,  3)", {3, 1, 1}, {"a", "1", "3"}},  // plain: trimmed, cut at commas
        {"wait(1,2,3)", {1, 1}, {"1", "2", ""}},
        {"mouse(,5)", {1, 1}, {"", "5", ""}},
        {"beep", {1, 1}, {"", "", ""}},                     // no "("
        {"goto(3,4)5", {1, 1}, {"3", "4", ""}},             // count after ")" not read
        {"goto(3,4", {1, 1}, {"3", "4", ""}},               // no ")" at all
        {"msg(\"(a)\")x)", {2}, {"(a)", "", ""}},           // list ends at the last ")"
        {"wait()", {1, 1}, {"", "", ""}},
        {"def(  \"A\", B ,c  )", {4, 1}, {"\"A\", B ,c", "", ""}},  // kind 4: the rest of the line
    };
    for (const Case& c : cases) EXPECT_EQ(cut(c.line, c.kinds), c.slots) << c.line;
}

}  // namespace
}  // namespace torvic
