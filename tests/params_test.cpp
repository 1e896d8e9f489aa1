#include <gtest/gtest.h>

#include <array>

#include "base/errors.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using Slots = std::vector<std::string>;

// Cuts `line` with the given kinds and returns the first `n` slots.
// Kinds by their numbers 1 to 4 (0 is no kind at all).
Slots cut(const std::string& line, std::initializer_list<int> kinds, std::size_t n = 3) {
    test::Rig rig;
    rig.engine.run.linies[0] = line;
    rig.engine.run.liniaActual = 0;
    std::vector<ParamKind> k;
    for (int kind : kinds) k.push_back(static_cast<ParamKind>(kind));
    switch (k.size()) {
        case 1: rig.engine.run.obtParam({k[0]}); break;
        case 2: rig.engine.run.obtParam({k[0], k[1]}); break;
        default: rig.engine.run.obtParam({k[0], k[1], k[2]}); break;
    }
    return Slots(rig.engine.run.parametresLinia.begin(), rig.engine.run.parametresLinia.begin() + n);
}

TEST(ObtParam, TextWithEscapesExamples) {
    const std::string q = "\"";
    struct Case { std::string params; Slots slots; } cases[] = {
        {"\"Hola\"", {"Hola", "", ""}},
        {"\"a\"+\"b\"", {"ab", "", ""}},
        {"13+10+\"x\"", {"\r\nx", "", ""}},
        {"\"x\"+65", {"xA", "", ""}},
        {"34+\"x\"+34", {q + "x" + q, "", ""}},
        {"\"un\\ndos\"", {"un\r\ndos", "", ""}},
        {"\"Hola, m\xF3n\",2,\"T\"", {"Hola, m\xF3n", "2", "T"}},
        {"abc", {"abc", "", ""}},
        {"abc,2", {"", "2", ""}},
        // A blank before the opening quote is a literal piece; the quoted text is then code.
        {"\"a\",1, \"b\"", {"a", "1", " "}},
        {", 2", {"", "2", ""}},
        {"\"tab\\there\"", {"tab\there", "", ""}},
        {"\"A\\NB\\TC\"", {"A\r\nB\tC", "", ""}},
        {"\"keep\\x\\\\\"", {"keep\\x\\\\", "", ""}},
        {"0.4+\"a\"", {std::string(1, '\0') + "a", "", ""}},
        {"\"a\"+\"b", {"ab", "", ""}},             // unbalanced quote: the rest is literal
        {"\"a\" + \"b\"", {"ab", "", ""}},          // blanks around "+" are outside quotes: no character
        {"65+66,\"t\"", {"AB", "\"t\"", ""}},   // slot 1 is plain: quotes kept
        {"+65", {"+65", "", ""}},                  // no leading code: unquoted text taken as it is
        {"\"x\"++65", {"x", "", ""}},              // only the first two terms decide whether codes count
        {"\"x\",,\"z\"", {"x", "", "z"}},
    };
    for (const Case& c : cases) EXPECT_EQ(cut("msg(" + c.params + ")", {2, 1, 2}), c.slots) << c.params;
}

TEST(ObtParam, KindThreeKeepsEscapesAsTyped) {
    EXPECT_EQ(cut("send(\"a\\nb\",1)", {3, 1}, 2), (Slots{"a\\nb", "1"}));
    EXPECT_EQ(cut("send(\"{ENTER}\"+13)", {3, 1}, 2), (Slots{"{ENTER}\r", ""}));
}

TEST(ObtParam, PlainKindTrimsAndCutsAtCommas) {
    EXPECT_EQ(cut("exec(\"a\", 1 ,  3)", {3, 1, 1}), (Slots{"a", "1", "3"}));
    EXPECT_EQ(cut("wait(  100  ,  2 )", {1, 1}, 2), (Slots{"100", "2"}));
    EXPECT_EQ(cut("wait(1,2,3)", {1, 1}, 3), (Slots{"1", "2", ""}));
    EXPECT_EQ(cut("mouse(,5)", {1, 1}, 2), (Slots{"", "5"}));
}

TEST(ObtParam, ListBoundaries) {
    EXPECT_EQ(cut("beep", {1, 1}, 2), (Slots{"", ""}));                   // no "("
    EXPECT_EQ(cut("goto(3,4)5", {1, 1}, 3), (Slots{"3", "4", ""}));        // count after ")" not read
    EXPECT_EQ(cut("goto(3,4", {1, 1}, 2), (Slots{"3", "4"}));              // no ")" at all
    EXPECT_EQ(cut("msg(\"(a)\")x)", {2}, 1), (Slots{"(a)"}));          // list ends at the last ")"
    EXPECT_EQ(cut("wait()", {1, 1}, 2), (Slots{"", ""}));
}

TEST(ObtParam, RestOfLineKind) {
    EXPECT_EQ(cut("def(  \"A\", B ,c  )", {4, 1}, 2), (Slots{"\"A\", B ,c", ""}));
}

TEST(ObtParam, KindZeroEndsTheList) {
    EXPECT_EQ(cut("x(1,2,3)", {1, 0, 1}, 3), (Slots{"1", "", "2"}));
}

TEST(ObtParam, CharacterCodeAbove255IsARunTimeError) {
    EXPECT_THROW(cut("msg(256)", {2}), RunTimeError);
    EXPECT_THROW(cut("msg(\"a\"+300)", {2}), RunTimeError);
    EXPECT_EQ(cut("msg(255)", {2}, 1), (Slots{"\xFF"}));
}

}  // namespace
}  // namespace torvic
