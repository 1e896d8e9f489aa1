// Desktop and system commands against the recording platform.
#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/errors.h"
#include "platform/sendkeys.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using test::Message;
using test::Rig;
using Calls = std::vector<std::string>;

Calls callsOf(const std::vector<std::string>& script, Rig& rig) {
    rig.host.answers = {true, true, true};
    rig.run(script);
    return rig.platform.calls;
}

TEST(DesktopCommands, RequestsToThePlatform) {
    struct Case { std::vector<std::string> script; Calls calls; } cases[] = {
        {{"off(1,1)", "off()", "off(3)", "off(9,9)", "off(0,3)", "logoff(3)", "reboot(2)", "standby()"},
         {"privilege", "exit 0x5", "privilege", "exit 0x8", "privilege", "exit 0x1C", "privilege", "exit 0x8",
          "privilege", "exit 0x0", "privilege", "exit 0x14", "privilege", "exit 0x12", "power 0 0"}},
        {{"exec(\"calc\",0,3)", "focu(3)"}, {"exec 0 calc", "focus 1000"}},  // a hidden program keeps its id
        {{"exec(\"<c:\\dir with blanks\\a.exe> /x\", 4)", "exec(\"min\", 6 , 0)"},
         {"exec 4 \"c:\\dir with blanks\\a.exe\" /x", "exec 6 min"}},
        {{"execdoc(\"<c:\\a b\\a.txt>\",1,1)", "execdoc(\"b.txt\",,2)", "execdoc(\"c\",3,3)", "execdoc(\"d\",1,9)"},
         {"shell 'open' 1 \"c:\\a b\\a.txt\"", "shell 'print' 0 b.txt", "shell 'explore' 3 c", "shell '' 1 d"}},
        {{"send(\"Hola{ENTER}\")", "send(\"^c\",1)", "send(\"x\"+13)"}, {"send Hola{ENTER}", "send wait ^c", "send x\r"}},
        {{"copy(\"a.txt\",\"b.txt\")", "xcopy(\"c:\\a b\",\"d:\\c\",\"/s /e\")"},
         {"copy a.txt -> b.txt", "start hidden xcopy \"c:\\a b\" \"d:\\c\" /s /e"}},
        {{"mouse(100,200,1)", "mouse(50%,50%,0,0,1)", "mouse(100%,0%)", "mouse(+10,-5)", "mouse(+0,-0,3)",
          "mouse(+7,+0)", "mouse(10,20,3,3,3)", "mouse(10,20,0,0,0,120)", "mouse(+3,4)"},
         {"cursor 100 200", "mouse 0x6 0 0 0", "mouse 0x8019 32767 32767 0", "mouse 0x8001 65535 0 0",
          "mouse 0x1 10 -5 0", "mouse 0x4 0 0 0", "mouse 0x1 7 0 0", "cursor 10 20", "mouse 0x54 0 0 0",
          "cursor 10 20", "mouse 0x0 0 0 120", "mouse 0x800 0 0 120", "mouse 0x1 3 4 0"}},  // one sign: relative
        // A double click runs its line twice, and every pass of a loop is a double click.
        {{"mouse(1,2,2)"}, {"cursor 1 2", "mouse 0x6 0 0 0", "cursor 1 2", "mouse 0x6 0 0 0"}},
        {{"mouse(+1,+1,2)", "goto(0,1)"}, Calls(4, "mouse 0x7 1 1 0")},
    };
    for (const Case& c : cases) {
        Rig rig;
        EXPECT_EQ(callsOf(c.script, rig), c.calls) << c.script[0];
        EXPECT_TRUE(rig.host.messages.empty()) << c.script[0];
    }
}

TEST(DesktopCommands, StateTheyLeave) {
    Rig refused;  // without the privilege: silent, and the run goes on
    refused.platform.privilege = false;
    EXPECT_EQ(callsOf({"off(1,1)", "'after"}, refused), (Calls{"privilege"}));
    EXPECT_EQ(refused.host.linesRun, (std::vector<int>{0, 1}));
    Rig older;
    older.platform.nt = false;
    EXPECT_EQ(callsOf({"reboot(3)"}, older), (Calls{"exit 0x16"}));

    Rig twice;
    callsOf({"mouse(100,200,2)", "beep"}, twice);
    EXPECT_EQ(twice.host.textsRun[1], "mouse(100,200,2)==");
    EXPECT_EQ(twice.engine.run.linies[0], "mouse(100,200,2)");  // the mark goes after the second pass

    Rig edge;  // large relative moves stop at the screen's edge
    callsOf({"mouse(+2000000000,-2000000000)", "mouse(+2000000000,-2000000000)"}, edge);
    EXPECT_EQ(edge.platform.pointerX, edge.platform.screenWidth - 1);
    EXPECT_EQ(edge.platform.pointerY, 0);

    Rig copy;  // an empty destination is reported
    callsOf({"'0", "copy(\"a.txt\",)"}, copy);
    ASSERT_EQ(copy.host.messages.size(), 1u);
    EXPECT_NE(copy.host.messages[0].text.find("Error de sintaxis en la linia: 1\r\nError en parametres del Copy\r\n"), std::string::npos);
}

TEST(Msg, Styles) {
    // System-modal: styles 4 to 7, whole numbers only.
    struct Case { const char* line; MessageIcon icon; std::string text, title; bool systemModal = false; } cases[] = {
        {"msg(\"Un\\nDos\",2,\"Av\xEDs\")", MessageIcon::Exclamation, "Un\r\nDos", "Av\xEDs"},
        {"msg(\"a\",3,\"t\")", MessageIcon::Critical, "a", "t"},         {"msg(\"a\",7,\"t\")", MessageIcon::Critical, "a", "t", true},
        {"msg(\"a\",4,\"t\")", MessageIcon::None, "a", "t", true},       {"msg(\"a\",5, \"t\")", MessageIcon::Information, "a", " ", true},
        {"msg(\"a\",8,\"t\")", MessageIcon::None, "a", "t", false},      {"msg(\"a\",4.5,\"t\")", MessageIcon::None, "a", "t", false},
        {"msg(\"a\")", MessageIcon::None, "a", "Torvic"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.run({c.line});
        ASSERT_EQ(rig.host.shown(), std::vector<std::string>{"box|" + c.title + "|" + c.text}) << c.line;
        EXPECT_EQ(rig.host.messages[0].icon, c.icon) << c.line;
        EXPECT_EQ(rig.host.systemModal.at(0), c.systemModal) << c.line;
    }
}

TEST(Ifmouse, PointAndRectangle) {
    struct Case { int x, y; const char* line; bool runs; } cases[] = {
        {100, 100, "ifmouse(0,0,100,100)", true}, {101, 100, "ifmouse(0,0,100,100)", false},
        {5, 8, "ifmouse(5,7)", false},            {5, 8, "ifmouse(1,1,2)", true},
        {0, 0, "ifmouse(0,0,0,0)", true},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.platform.pointerX = c.x, rig.platform.pointerY = c.y;
        rig.run({c.line, "beep", "ifmouse()", "'after"});
        EXPECT_EQ(std::count(rig.platform.calls.begin(), rig.platform.calls.end(), "beep"), c.runs ? 1 : 0) << c.line;
        EXPECT_EQ(rig.host.linesRun.back(), 3) << c.line;
    }
}

TEST(SendKeysNotation, Parsing) {
    using K = KeyStroke;
    using V = std::vector<KeyStroke>;
    const std::vector<std::string> none, shift{"shift"}, ctrl{"ctrl"}, alt{"alt"}, ctrlAlt{"ctrl", "alt"};
    struct Case { std::string keys; V strokes; } cases[] = {
        {"Hola{ENTER}\xE0\xE7", {K{none, "", "Hola"}, K{none, "Return", ""}, K{none, "", "\xE0\xE7"}}},
        {"~", {K{none, "Return", ""}}},
        {"^c%{F4}", {K{ctrl, "", "c"}, K{alt, "F4", ""}}},
        {"^%{DEL}", {K{ctrlAlt, "Delete", ""}}},
        {"+(ab)c", {K{shift, "", "a"}, K{shift, "", "b"}, K{none, "", "c"}}},
        {"{LEFT 3}", {K{none, "Left", "", 3}}},
        {"{h 3}x", {K{none, "", "h", 3}, K{none, "", "x"}}},
        {"{h 0}x{a 1}", {K{none, "", "xa"}}},
        {"+{a 99999}", {K{{"shift"}, "", "a", 99999}}},
        {"{tab}{Esc}{bs}{PGDN}{f12}", {K{none, "Tab", ""}, K{none, "Escape", ""}, K{none, "BackSpace", ""},
                                       K{none, "Page_Down", ""}, K{none, "F12", ""}}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(parseSendKeys(c.keys), c.strokes) << c.keys;

    for (const char* bad : {"{", "{ENTER", "{BOGUS}", "{F17}", "(ab", "ab)", "+", "a^", "}", "{LEFT x}", "+)"})
        EXPECT_THROW(parseSendKeys(bad), RunTimeError) << bad;
}

}  // namespace
}  // namespace torvic
