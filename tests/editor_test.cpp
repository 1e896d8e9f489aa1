// Every window's behaviour with fake views, and the pure routines of the editor.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "platform/conventions.h"
#include "platform/files.h"
#include "editor/command_line.h"
#include "editor/layout.h"
#include "base/text.h"
#include "script/encoding.h"
#include "tests/support/fake_views.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;
using test::WindowRig;
using Strings = std::vector<std::string>;
std::string caption(const std::string& name) { return name + L1252(MainWindowPresenter::kCaption); }
fs::path systemPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

TEST(CommandLine, Forms) {
    struct Case { std::string cmd; StartRequest::Kind kind; std::string file; } cases[] = {
        {"", StartRequest::Nothing, ""}, {"\"", StartRequest::Edit, ""},
        {"/exec \"c:\\my dir\\a.torvic\"", StartRequest::RunHidden, "c:\\my dir\\a.torvic"},
        {"/exec \"c:\\a.torvi", StartRequest::RunHidden, "c:\\a.torv"},  // no closing quote: last character lost
        {"\"c:\\with blanks\\a.torvic\"", StartRequest::Edit, "c:\\with blanks\\a.torvic"},
    };
    for (const Case& c : cases) {
        const StartRequest r = parseCommandLine(c.cmd);
        EXPECT_TRUE(r.kind == c.kind && r.file == c.file) << c.cmd << " -> " << r.kind << " " << r.file;
    }
    EXPECT_EQ(commandLineText({"/exec", "my script.torvic"}), "/exec \"my script.torvic\"");
    const std::pair<std::string, std::string> lines[] = {
        {"\"c:\\Program Files\\torvic.exe\"  /exec \"a b.torvic\"", "/exec \"a b.torvic\""},
        {"torvic.exe a.torvic", "a.torvic"}, {"torvic.exe", ""}, {"\"unclosed quote", ""},
    };
    for (const auto& [line, arguments] : lines) EXPECT_EQ(commandLineArguments(line), arguments) << line;
}

TEST(Layout, ResizeRulesInWindowUnits) {
    const auto at = [](int width, int height) {
        std::map<std::string, int> m;
        for (const LayoutStep& s : resizeLayout(width, height)) m[s.control + "." + std::to_string(s.property)] = s.pixels;
        return m;
    };
    auto big = at(1000, 700);  // Text1.2: (1000 / 0.93987 - 18) units
    EXPECT_EQ((std::vector{big["Text1.2"], big["Text1.3"], big["Frame2.0"], big["Frame1.1"]}),
              (std::vector{983, 518, 678, 629}));
    EXPECT_EQ(resizeLayout(10, 10).size(), 7u);  // negative sizes are skipped
    // At the smallest client area the frames do not overlap; a pixel narrower they would.
    const Rect smallest = minimumClientSize();
    for (int shrink : {0, 1}) {
        auto m = at(smallest.width - shrink, smallest.height);
        EXPECT_EQ(m["Frame1.0"] + designRect("Frame1").width <= m["Frame2.0"], shrink == 0) << m["Frame2.0"];
        EXPECT_GE(m["Text1.3"], 48);
    }
}

// What the main window shows of a run, in one line.
std::string shown(const WindowRig& r) {
    const test::FakeMainView& v = r.view;
    return v.text3Field + "|" + v.text4Field + (v.text4Yellow ? " (yellow)" : "") +
           (v.buttonsEnabled ? "|buttons on" : "|buttons off") + (v.timerDue.has_value() ? "|timer on" : "|timer off") +
           (v.visible ? "|visible|" : "|hidden|") +
           (v.iconShown ? v.iconTooltip + (v.checkAturat ? " +Aturat" : "") + (v.checkExecutant ? " +Executant-se" : "")
                        : "no icon");
}

// "Cont Exec" starts at Text3's number, rounded half to even; not a number or below 0: the top.
TEST(MainWindow, ContinueRunReadsText3AsTheStartLine) {
    struct Case { const char* text3; std::size_t beeps; } cases[] = {
        {"Acabat", 3}, {"1e999", 3}, {"-4", 3}, {"  1", 2}, {"2.5", 2}, {"3", 1}, {"3.5", 0}, {"400", 0}, {"99999", 0},
    };
    for (const Case& c : cases) {
        WindowRig rig;
        rig.view.editor = "beep\r\n'1\r\nbeep\r\nbeep\r\n'4";
        rig.view.text3Field = c.text3;
        rig.torvic.onContinueRun();
        EXPECT_EQ(rig.platform.calls.size(), c.beeps) << c.text3;
        EXPECT_EQ(rig.view.text3Field, "Acabat") << c.text3;
    }
}

TEST(MainWindow, RunButtonsThroughAWaitAndAStop) {
    WindowRig rig;
    rig.view.editor = "beep\r\nwait(1000)\r\nbeep";
    rig.view.caret = 11;  // after "wait(": its hint, highlighted
    rig.torvic.onEditorKeyUp();
    rig.torvic.onRunAll();
    EXPECT_EQ(shown(rig), "1|wait(1000) (yellow)|buttons off|timer on|visible|no icon");
    rig.view.caret = 3;  // the user moves about the editor while the run waits
    rig.torvic.onEditorKeyUp();
    EXPECT_EQ(rig.view.text4Field + rig.view.labelColumn, "wait(1000)3");
    rig.torvic.onMenuRunAll();  // a second run while waiting does nothing
    EXPECT_EQ(rig.platform.calls.size(), 1u);
    rig.torvic.onStopRun();  // F4
    EXPECT_EQ(shown(rig), "1|wait(1000) (yellow)|buttons on|timer off|visible|no icon");
    rig.torvic.onMenuContinueRun();  // F5 continues from Text3: the wait again
    rig.advance(1000);
    EXPECT_EQ(rig.platform.calls.size(), 2u);
    EXPECT_EQ(shown(rig), "Acabat||buttons on|timer off|visible|no icon");  // emptied: the plain background again
    rig.torvic.onMenuRunAll();  // a finished run leaves the keys to start another
    EXPECT_EQ(rig.platform.calls.size(), 3u);
}

// The hint comes from the caret's line only: to its first "(", or to the caret.
TEST(MainWindow, HintFromTheCaretsLine) {
    const struct { const char* text; std::size_t caret; const char *column, *hint; } cases[] = {
        {"wait", 4, "4", "wait(ms,minuts)"},
        {"beep\r\nwait\r\nbeep", 10, "4", "wait(ms,minuts)"},
        {"wait\r\nmsg(1)", 4, "4", ""},
        {"beep\r\n  wait (5)", 8, "2", "wait(ms,minuts)"},  // before the keyword: the line to its "("
        {"beep\r\nwaitx", 10, "4", "wait(ms,minuts)"},  // to the caret
        {"beep\r\nwaitx", 11, "5", ""},
        {"wait(5)\r\nbeep", 13, "4", "beep()"},
        {"beep\r\n\r\nwait", 6, "0", "was here"},  // column 0: the hint stays
    };
    for (const auto& c : cases) {
        WindowRig rig;
        rig.view.text4Field = "was here";
        rig.view.editor = c.text;
        rig.view.caret = c.caret;
        rig.torvic.onEditorKeyUp();
        EXPECT_EQ(rig.view.labelColumn + "|" + rig.view.text4Field, std::string(c.column) + "|" + c.hint) << c.text;
    }
}

TEST(MainWindow, TheIconsMenuPausesContinuesAndBringsTheWindowBack) {
    WindowRig rig;
    rig.view.editor = "beep\r\nwait(1000)\r\nbeep";
    rig.torvic.onRunHidden();  // "Executa Ocult": waiting in the tray
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons off|timer on|hidden|Torvic Executant-se +Executant-se");
    rig.torvic.onTrayPause();
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons on|timer off|hidden|Torvic Pausat +Executant-se");
    rig.torvic.onTrayContinue();  // the waiting line again
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons off|timer on|hidden|Torvic Executat-se +Aturat");
    rig.torvic.onTrayRestore();
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons off|timer on|visible|no icon");
    rig.view.visible = false;  // a stray double click once the window is back does nothing
    rig.torvic.iconDoubleClicked();
    EXPECT_FALSE(rig.view.visible);
    rig.torvic.onIconise();  // the tooltip is always "Executant-se" going in; the marks keep their last state
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons off|timer on|hidden|Torvic Executant-se +Aturat");
    rig.view.saveChoices = {SaveChoice::Discard};
    rig.torvic.onTrayExit();
    EXPECT_TRUE(rig.view.ended && !rig.view.iconShown);
    // Without a notification area: the taskbar, never hidden for good; the line claims
    // the minimising only where the view could be sure of it (not on every Wayland compositor).
    for (const bool sure : {true, false}) {
        WindowRig bare;
        bare.view.notificationArea = false;
        bare.view.minimiseIsSure = sure;
        bare.view.editor = "beep";
        bare.view.saveChoices = {SaveChoice::Discard};  // typed, not saved: asked at the end
        bare.torvic.onRunHidden();
        EXPECT_TRUE(bare.view.minimised && bare.view.visible && bare.view.ended);
        ASSERT_EQ(bare.view.statusTexts.size(), 1u);
        const std::string& line = bare.view.statusTexts[0];
        EXPECT_EQ(line.find(L1252("s'ha minimitzat a la barra de tasques")) != std::string::npos, sure) << line;
        EXPECT_EQ(line.find(L1252("es queda a la vista")) != std::string::npos, !sure) << line;
    }
}

// The desktop backend is named once, when a desktop command chose it, never before.
TEST(MainWindow, TheDesktopBackendIsSaidOnceWhenChosen) {
    WindowRig rig;
    rig.view.editor = "beep";
    rig.torvic.onRunAll();
    EXPECT_TRUE(rig.view.statusTexts.empty());
    rig.platform.desktop = "X11";
    for (int run = 0; run < 2; ++run) rig.torvic.onRunAll();
    ASSERT_EQ(rig.view.statusTexts.size(), 1u);
    EXPECT_NE(rig.view.statusTexts[0].find("X11"), std::string::npos);
}

class ProgramFiles : public ::testing::Test {
protected:
    std::string path(const std::string& n) const { return tmp / n; }
    void put(const std::string& n, const std::string& bytes) const { ASSERT_TRUE(writeFileSafely(path(n), bytes)); }
    std::string read(const std::string& n) const { return readFileBytes(path(n)).value_or("<none>"); }
    void open(const std::string& name, bool yes = true) {
        rig.view.text2Field = name;
        rig.view.answers = {yes};
        rig.torvic.onOpenClick();
    }
    test::TempDir tmp;
    WindowRig rig;
};

TEST_F(ProgramFiles, StartUp) {
    WindowRig missing;  // unreadable, without a notification area: the error, then the program ends, unseen
    missing.view.notificationArea = false;
    missing.torvic.onLoad("/exec nowhere.torvic");
    EXPECT_EQ(missing.view.titles(), "Error en trobar el fitxer:");
    EXPECT_TRUE(missing.view.ended && !missing.view.visible && !missing.view.minimised);

    // A relative name opens in the current folder, and is shown as the absolute name it opened.
    put("my script.torvic", "beep\r\nbeep\r\n");
    for (const char* relative : {"\"my script.torvic\"", "\"./x/../my script.torvic\""}) {
        WindowRig edit;
        edit.torvic.currentDirectory = [this] { return tmp.path(); };
        edit.torvic.onLoad(relative);
        EXPECT_EQ(edit.view.text2Field, fs::path(path("my script.torvic")).make_preferred().string()) << relative;
        EXPECT_EQ(edit.view.editor + "|" + edit.view.caption, "beep\r\nbeep|" + caption("my script.torvic - "));
    }

    rig.torvic.onLoad("");
    EXPECT_EQ(rig.view.text2Field, std::string("/home/user") + conventions::folderSeparator());
    EXPECT_TRUE(rig.view.endButtonHidden);
    rig.torvic.onNewProgram();
    EXPECT_EQ(rig.view.text2Field, std::string("/home/user") + conventions::folderSeparator() + "nou_programa.torvic");
}

TEST_F(ProgramFiles, OpenReadsLineEndsPatternsAndAsksBeforeReplacing) {
    put("crlf.torvic", "a\r\nb\r\nc\r\n");
    put("cr.torvic", "a\rb\rc");
    put("lf.torvic", "a\nb\nc\n");
    open(tmp / "c*.torvic");  // the first match in name order
    EXPECT_EQ(rig.view.text2Field + "|" + rig.view.editor, path("cr.torvic") + "|a\r\nb\r\nc");
    EXPECT_EQ(rig.view.titles(), "");  // an empty editor is replaced without a question
    open(path("lf.torvic"), false);
    EXPECT_EQ(rig.view.titles(), L1252("El programa actual es perdrà:"));
    EXPECT_EQ(rig.view.editor, "a\r\nb\r\nc");  // No keeps the editor text
    open(path("lf.torvic"));
    EXPECT_EQ(rig.view.editor, "a\r\nb\r\nc");  // no CR at all: the LFs end the lines
    ASSERT_EQ(rig.view.statusTexts.size(), 1u);  // and the window says so
    EXPECT_NE(rig.view.statusTexts[0].find("LF"), std::string::npos);
    EXPECT_TRUE(rig.view.statusShown);
    open(path("lf.torvic"), false);  // kept: the line still speaks of the program shown
    EXPECT_TRUE(rig.view.statusShown);
    open(path("crlf.torvic"));  // gone with the program it spoke of
    EXPECT_FALSE(rig.view.statusShown);
    EXPECT_EQ(rig.view.statusTexts.size(), 1u);
}

// A program keeps its file's line ends (byte for byte when unchanged); a new one is CR LF.
TEST_F(ProgramFiles, SavingKeepsTheLineEndsOfTheFile) {
    const std::string files[] = {"a\nb\n", "a\nb", "caf\xC3\xA9\n\nb\n", "a\r\nb\r\n", "a\r\nb", "a\rb\r"};
    for (const std::string& bytes : files) {
        put("p.torvic", bytes);
        open(path("p.torvic"));
        rig.view.answers = {true};  // "Sobreescriure ?"
        rig.torvic.onSaveClick();
        EXPECT_EQ(read("p.torvic"), bytes == "a\rb\r" ? "a\r\nb\r\n" : bytes);  // a lone CR ends a line: written CR LF
    }
    put("p.torvic", "a\nb\n");
    open(path("p.torvic"));
    EXPECT_NE(rig.view.statusTexts.back().find(L1252("s'escriurà amb LF")), std::string::npos);
    rig.view.type("beep\r\nbeep\r\n\r\nbeep");
    rig.view.answers = {true};
    rig.torvic.onSaveClick();
    EXPECT_EQ(read("p.torvic"), "beep\nbeep\n\nbeep\n");

    rig.torvic.onNewProgram();
    rig.view.type("beep\r\nbeep");
    rig.view.text2Field = path("nou.torvic");
    rig.torvic.onSaveClick();
    EXPECT_EQ(read("nou.torvic"), "beep\r\nbeep");

    // A name on the command line spelled the Windows way is the system's.
    fs::create_directory(path("sub"));
    put("sub/q.torvic", "beep\n");
    WindowRig edit;
    edit.torvic.currentDirectory = [this] { return tmp.path(); };
    edit.torvic.onLoad("sub\\q.torvic");
    EXPECT_EQ(edit.view.editor, "beep");
}

// The caption names the program's file and marks changes not saved.
TEST_F(ProgramFiles, TheCaptionFollowsTheFileAndItsChanges) {
    put("a.torvic", "beep");
    const auto type = [this](const char* text) { rig.view.editor = text, rig.torvic.onEditorChange(); };
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[&] { rig.torvic.onLoad(""); }, ""},
        {[&] { open(path("a.torvic")); }, "a.torvic - "},
        {[&] { type("beep\r\nwait(1)"); }, "*a.torvic - "},
        {[&] { type("beep"); }, "a.torvic - "},  // typed back as it was saved
        {[&] { rig.view.text2Field = path("b.torvic"), rig.torvic.onSaveClick(); }, "b.torvic - "},
        {[&] { rig.torvic.onNewProgram(); }, "nou_programa.torvic - "},  // the name it is offered under
        {[&] { type("beep"); }, "*nou_programa.torvic - "},
    };
    for (const auto& [act, name] : steps) {
        act();
        EXPECT_EQ(rig.view.caption, caption(name));
    }
}

// Another name's opening declined: Text2 names the editor's program again, and saving writes it.
TEST_F(ProgramFiles, SaveWritesTheFileTheCaptionNames) {
    put("a.torvic", "beep");
    put("b.torvic", "other");
    open(path("a.torvic"));
    open(path("b.torvic"), false);  // No to "Si obriu un altre programa..."
    EXPECT_EQ(rig.view.text2Field + "|" + rig.view.editor, path("a.torvic") + "|beep");
    rig.view.editor = "beep\r\nwait(1)";
    rig.torvic.onEditorChange();
    rig.view.text2Field = path("b.torvic");
    rig.view.saveChoices = {SaveChoice::Cancel};  // changes not saved: the save question, cancelled
    rig.torvic.onOpenClick();
    EXPECT_EQ(rig.view.text2Field + "|" + rig.view.caption, path("a.torvic") + "|" + caption("*a.torvic - "));
    rig.view.messages.clear();
    rig.torvic.onSaveClick();  // its own file, unchanged on disk: no question
    EXPECT_EQ(read("a.torvic") + "|" + read("b.torvic"), "beep\r\nwait(1)|other");
    EXPECT_EQ(rig.view.titles(), "");
    EXPECT_EQ(rig.view.caption, caption("a.torvic - "));
    // Another name typed over it that exists is asked about, naming it.
    rig.view.text2Field = path("b.torvic");
    rig.view.answers = {false};
    rig.view.dialogAnswers = {""};
    rig.torvic.onSaveClick();
    EXPECT_EQ(rig.view.titles(), L1252("El fitxer ja existeix:|Atenció:"));  // No, then save as cancelled: "not saved"
    EXPECT_EQ(rig.view.messages[0].text, path("b.torvic") + "\r\rSobreescriure ?");
    EXPECT_EQ(read("b.torvic"), "other");

    WindowRig fresh;  // a program never saved: the name declined stays for saving it
    fresh.view.editor = "beep";
    fresh.view.text2Field = path("b.torvic");
    fresh.torvic.onOpenClick();  // the save question, cancelled
    EXPECT_EQ(fresh.view.text2Field, path("b.torvic"));
}

TEST_F(ProgramFiles, UnsavedChangesAreAskedAboutOnEveryPath) {
    put("other.torvic", "other");
    const auto ended = [](WindowRig& r) { return r.view.ended; };
    const struct { const char* name; std::function<void(WindowRig&)> act; std::function<bool(WindowRig&)> acted; } paths[] = {
        {"End (Esc, the close box)", [](WindowRig& r) { r.torvic.onEnd(); }, ended},
        {"Sortir", [](WindowRig& r) { r.torvic.onExit(); }, ended},
        {"Nou programa", [](WindowRig& r) { r.torvic.onNewProgram(); }, [](WindowRig& r) { return r.view.editor.empty(); }},
        {"open another program", [&](WindowRig& r) { r.view.text2Field = path("other.torvic"), r.torvic.onOpenClick(); },
         [](WindowRig& r) { return r.view.editor == "other"; }},
        {"a hidden run that ends", [](WindowRig& r) { r.torvic.onRunHidden(); }, ended},
    };
    for (const auto& p : paths) {
        for (int choice = -1; choice <= 2; ++choice) {  // -1: nothing typed
            const auto answer = static_cast<SaveChoice>(choice);
            const std::string mine = path(std::string("mine ") + p.name + std::to_string(choice));
            WindowRig r;
            r.view.text2Field = mine;
            if (choice >= 0) {
                r.view.editor = "beep";  // typed, never saved: "Guardar" goes through "Guardar com.."
                r.view.saveChoices = {answer};
                r.view.dialogAnswers = {mine};
            }
            p.act(r);
            const bool asked = !r.view.messages.empty() && r.view.messages[0].title == "Modificacions sense guardar:";
            EXPECT_EQ(asked, choice >= 0) << mine;
            EXPECT_EQ(p.acted(r), choice < 0 || answer != SaveChoice::Cancel) << mine;
            EXPECT_EQ(readFileBytes(mine).value_or("<none>"), answer == SaveChoice::Save ? "beep" : "<none>") << mine;
            if (answer == SaveChoice::Cancel) {  // a hidden window comes back with the text
                EXPECT_TRUE(r.view.editor == "beep" && r.view.visible) << mine;
            }
        }
    }
}

TEST_F(ProgramFiles, Saving1252CharactersItCannotHoldOffersUtf8) {
    const std::string utf8 = "msg(\"a→b\")\r\nbeep";
    rig.view.type(utf8);  // a new program is 1252
    rig.view.text2Field = path("x.torvic");
    rig.view.answers = {false};
    rig.torvic.onSaveClick();  // No: nothing written
    EXPECT_EQ(rig.view.titles(), L1252("Caràcters que es perdrien:"));
    EXPECT_NE(rig.view.messages.at(0).text.find("U+2192"), std::string::npos);
    EXPECT_EQ(read("x.torvic"), "<none>");
    rig.view.answers = {true};  // Yes: UTF-8 keeps them
    rig.torvic.onSaveClick();
    EXPECT_EQ(read("x.torvic"), std::string(systemTextEncoding() == TextEncoding::Ansi ? kUtf8Bom : "") + utf8);
    rig.torvic.onSaveClick();  // from now on a UTF-8 program, saved over its own file: no question
    EXPECT_EQ(rig.view.titles(), L1252("Caràcters que es perdrien:|Caràcters que es perdrien:"));
    rig.view.answers = {true};  // "Guardar com.." over it asks
    rig.view.dialogAnswers = {path("x.torvic")};
    rig.torvic.onSaveAsClick();
    EXPECT_EQ(rig.view.titles(), L1252("Caràcters que es perdrien:|Caràcters que es perdrien:|El fitxer ja existeix:"));
}

// A name 1252 cannot spell opens, runs and saves by the system's name; the '?' shown is no pattern.
TEST_F(ProgramFiles, ProgramsNamedBeyond1252) {
    const std::string name = path("prova→ő.torvic");
    put("prova→ő.torvic", "beep\r\n");
    put("provaXY.torvic", "wrong\r\n");  // what "prova??" would match
    rig.torvic.onLoad("\"" + name + "\"");  // torvic FILE
    EXPECT_EQ(rig.view.editor + "|" + rig.view.text2Field, "beep|" + path("prova??.torvic"));
    EXPECT_EQ(rig.view.caption, caption("prova??.torvic - "));
    rig.torvic.onRunAll();
    EXPECT_EQ(rig.platform.calls, Strings{"beep"});
    rig.view.editor = "beep\r\nbeep";
    rig.torvic.onSaveClick();  // its own file: no question
    EXPECT_EQ(read("prova→ő.torvic"), "beep\r\nbeep\r\n");
    EXPECT_FALSE(fs::exists(systemPath(path("prova??.torvic"))));
    rig.view.answers = {true};  // Enter in Text2 reloads the same file
    rig.torvic.onFileNameKeyPress(13);
    EXPECT_EQ(rig.view.editor, "beep\r\nbeep");
    EXPECT_EQ(rig.view.titles(), L1252("El programa actual es perdrà:"));  // the one question, no error

    WindowRig dialogs;  // "Navegar i Obrir" (opening in Text2's folder), then "Guardar com.."
    dialogs.view.text2Field = tmp.path() + "/";
    dialogs.view.dialogAnswers = {name, path("còpia→.torvic")};
    dialogs.torvic.onBrowseAndOpenClick();
    EXPECT_EQ(dialogs.view.dialogsShown.at(0) + dialogs.view.editor, "open " + tmp.path() + "/|beep\r\nbeep");
    dialogs.torvic.onSaveAsClick();
    EXPECT_TRUE(dialogs.view.dialogsShown.back().ends_with("|" + name));  // pre-filled with the system's name
    EXPECT_EQ(read("còpia→.torvic"), "beep\r\nbeep\r\n");
    dialogs.torvic.onSaveAsClick();  // pre-filled with the last name saved as
    EXPECT_TRUE(dialogs.view.dialogsShown.back().ends_with("|" + path("còpia→.torvic"))) << dialogs.view.dialogsShown.back();

    WindowRig typed;  // a name typed in Text2 is 1252
    typed.view.editor = "beep";
    typed.view.text2Field = L1252(path("café.torvic"));
    typed.torvic.onSaveClick();
    EXPECT_EQ(read("café.torvic"), "beep");
}

TEST(MainWindow, TheCurrentFolderAndTheProgramsFolderByTheirSystemNames) {
    test::TempDir tmp;
    const std::string folder = tmp / "carpeta→ő";
    ASSERT_TRUE(fs::create_directory(systemPath(folder)));
    const fs::path before = fs::current_path();
    fs::current_path(systemPath(folder));
    {
        RecordingPlatform platform;
        EditorWindows<test::FakeViews> windows(platform);  // its own current folder and program folder
        windows.main.onLoad("");
        const std::string shown = windows.mainView.text2Field;
        EXPECT_EQ(shown.substr(shown.size() - 10), std::string("carpeta??") + conventions::folderSeparator());
        windows.main.onNewProgram();
        windows.mainView.editor = "beep";
        windows.main.onSaveClick();
        EXPECT_EQ(readFileBytes(folder + "/nou_programa.torvic").value_or("<none>"), "beep");
        // The manual in that folder: the shell could not be handed its name, so the help window prints it.
        EXPECT_TRUE(writeFileSafely(folder + "/torvic.rtf", "{\\rtf1 }"));
        windows.main.onPrintManual();
        EXPECT_EQ(windows.mainView.manualsShown, std::vector<std::string>{"print"});
        EXPECT_TRUE(platform.calls.empty());
    }
    fs::current_path(before);
}

// Find, replacement, count and "only after the caret", and the editor after.
TEST(FindAndReplace, Examples) {
    struct Case { std::string text, find, replacement, count; bool afterCaret; std::string expected; } cases[] = {
        {"aXbXc", "X", "-", "-1", false, "a-b-c"}, {"aXbXc", "X", "-", "1", false, "a-bXc"},
        {"aXbXc", "X", "-", "-1", true, "aXb-c"},  {"aXbXc", "x", "-", "-1", false, "aXbXc"},
        {"aXbXc", "X", "-", "abc", false, "aXbXc"},
        // characters 1252 cannot hold stay, come back on undo, and can be found and put in
        {"→X\r\n→X", "X", "é", "-1", false, "→é\r\n→é"}, {"→X\r\n→X", "X", "é", "-1", true, "→X\r\n→é"},
        {"→X\r\n→X", "→", "ő", "1", false, "őX\r\n→X"},
    };
    for (const Case& c : cases) {
        WindowRig rig;
        rig.view.type(c.text);
        rig.view.caret = c.text.starts_with("a") ? 3 : 2;  // "aXb|Xc", "→X|\r\n→X"
        rig.replaceDialogView.fill = [&c](test::FakeReplaceDialogView& v) {
            std::tie(v.find, v.replacement, v.count, v.afterCaret) = std::tie(c.find, c.replacement, c.count, c.afterCaret);
        };
        rig.torvic.onReplace();
        EXPECT_EQ(rig.view.editorTextUtf8(), c.expected) << c.text << " " << c.find << " " << c.count << " " << c.afterCaret;
        EXPECT_EQ(rig.view.undoTexts, c.expected == c.text ? Strings{} : Strings{c.text});
    }
}

TEST(FindAndReplace, ClipboardCloseBoxAndBadCounts) {
    WindowRig rig;
    auto& dialog = rig.replaceDialogView;
    rig.view.editor = "aXbXc";
    dialog.clipboard = "foo";
    dialog.pressSubstituir = false;  // closed with the close box before any press
    rig.torvic.onReplace();
    EXPECT_TRUE(dialog.find == "foo" && dialog.selectedAll);
    EXPECT_EQ(rig.view.editor, "aXbXc");  // nothing to repeat yet
    dialog.pressSubstituir = true;
    dialog.fill = [](test::FakeReplaceDialogView& v) { v.find = "X", v.replacement = "-"; };
    rig.torvic.onReplace();
    rig.view.editor = "XX";
    dialog.pressSubstituir = false;  // the close box repeats the previous replacement
    rig.torvic.onReplace();
    EXPECT_EQ(rig.view.editor, "--");
    dialog.pressSubstituir = true;
    dialog.fill = [](test::FakeReplaceDialogView& v) { v.find = "-", v.count = "40000"; };
    rig.torvic.onReplace();
    EXPECT_EQ(rig.view.editor, "--");
    EXPECT_EQ(rig.view.titles(), L1252("Atenció:"));
}

struct MissatgeRig {
    test::FakeMessageWindowView view;
    MessageWindowPresenter m{view};
    MissatgeRig() { view.behaviour = &m; }
};

TEST(Missatge, CountsDownAndClosesByItself) {
    for (int from : {3, 0}) {
        MissatgeRig r;
        Strings shown, expected;  // from, ..., 0, then it closes
        r.view.whileOpen = [&] {
            for (shown.push_back(r.view.seconds); r.view.open;)
                if (r.m.onTick(), r.view.open) shown.push_back(r.view.seconds);
        };
        r.m.ferMissatge("text", "T", static_cast<std::int16_t>(from));
        for (int n = from; n >= 0; --n) expected.push_back(std::to_string(n));
        EXPECT_EQ(shown, expected);
        EXPECT_TRUE(r.view.beeps == 1 && !r.view.ticking);
    }
}

TEST(Missatge, PauseActivationAcceptarTotsAndTancar) {
    MissatgeRig r;
    r.view.whileOpen = [&] {
        r.m.onTick();
        r.m.onPauseOrContinue();  // Pausar
        EXPECT_EQ(r.view.pauseCaption + (r.view.ticking ? " ticking" : ""), "Continuar");
        r.m.onActivate();  // back from another window: counting again, from the number shown
        EXPECT_EQ(r.view.seconds + (r.view.ticking ? " ticking" : ""), "9 ticking");
        r.m.onAcceptAll();  // Acceptar Tots
    };
    r.m.ferMissatge("a", "t", 10);
    r.view.whileOpen = [&] { ADD_FAILURE() << "a message was shown after Acceptar Tots"; };
    r.m.ferMissatge("later", "t", 15);
    EXPECT_EQ(r.view.shows, 1) << "a later message must not even flash on screen";

    MissatgeRig t;
    bool ended = false;
    t.m.onEndProgram = [&] { ended = !t.view.open; };  // "Tancar": the window closes, then the program ends
    t.view.whileOpen = [&] { t.m.onCloseProgram(); };
    t.m.ferMissatge("a", "t", 5);
    EXPECT_TRUE(ended);
}

// The export file: a 1252 name and text in the system's encoding; bad names are reported.
TEST(Missatge, ExportAppendsInTheSystemsEncodingAndReportsBadFiles) {
    test::TempDir tmp;
    ASSERT_TRUE(writeFileSafely(tmp / "errors à.txt", "earlier\r\n"));
    MissatgeRig r;
    r.m.timeStamp = [] { return std::string("16/12/2026 10:00:00"); };
    r.view.exportOn = true;
    r.view.exportName = tmp / L1252("errors à.txt");
    r.view.whileOpen = [&] { r.m.onAccept(); };
    r.m.ferMissatge(L1252("La referència: €"), L1252("Títol"), 15);
    r.m.ferMissatge("second", "T2", 15);
    const std::string added = L1252("16/12/2026 10:00:00  Títol\r\nLa referència: €\r\n\r\n") +
                              "16/12/2026 10:00:00  T2\r\nsecond\r\n\r\n";
    EXPECT_EQ(readFileBytes(tmp / "errors à.txt").value_or("<missing>"),
              "earlier\r\n" + (systemTextEncoding() == TextEncoding::Ansi ? added : cp1252::toUtf8(added)));
    EXPECT_TRUE(systemTextEncoding() != TextEncoding::Utf8 || !fs::exists(tmp / L1252("errors à.txt")));  // no raw name
    for (const std::string& bad : {tmp / "no/such/dir.txt", tmp.path()}) {
        r.view.exportName = bad;
        r.m.ferMissatge("third", "T3", 15);
    }
    EXPECT_EQ(r.view.boxes, Strings(2, "Error amb el fitxer especificat."));
}

TEST(Encoding, RunsDecodeLayerByLayerAndRefuseAnUnreadableHeader) {
    WindowRig rig;
    // Key "x" shifts by 1: an inner code 246 would not come back, so the inner layer must hold none.
    const std::string inner = codificaText("first key", "beep\r\nbeep");
    ASSERT_EQ(sumaClau("x"), 1);
    ASSERT_EQ(inner.find('\xF6'), std::string::npos);
    rig.view.editor = codificaText("x", inner);
    rig.torvic.onRunAll();
    EXPECT_EQ(rig.platform.calls, (Strings{"beep", "beep"}));
    EXPECT_EQ(rig.view.editor.substr(0, 4), "$%& ");  // the editor keeps the encoded text

    WindowRig bad;  // a length character below 30: no key length, nothing runs
    bad.view.editor = "$%& " + test::bytes({29}) + "beep\r\nbeep";
    bad.torvic.onRunAll();
    EXPECT_TRUE(bad.platform.calls.empty());
    EXPECT_EQ(bad.view.titles(), L1252("Atenció:"));
}

TEST(Encoding, TheKeyDialogDecidesWhatHappensToTheEditor) {
    const std::string plain = "beep\r\nwait(5)", coded = cp1252::toUtf8(codificaText("k", plain)), o = "msg(\"ő\")";
    // button: 1 Codificar, 2 Descodificar, 3 Cancelar, 0 the close box; reason: in the window's box.
    struct Case { std::string editor, key; int button; std::string expected; int shows, chosen; std::string reason; } cases[] = {
        {plain, "k", 1, coded, 1, 1, ""},
        {coded, "k", 2, plain, 1, 2, ""},
        {plain, "wrong", 2, plain, 1, 2, "no s'ha descodificat"},  // not encoded: left as it is
        {plain, "k", 0, plain, 1, 0, ""},
        {plain, "k", 3, plain, 1, 0, ""},
        {plain, "", 1, plain, 1, 1, ""},  // an empty key does nothing
        {"", "k", 1, "", 0, 0, ""},       // an empty editor: no dialog
        {o, "k", 1, o, 0, 0, "(U+0151)"},          // characters 1252 cannot hold: no dialog
        {plain, "k→", 1, plain, 1, 0, "(U+2192)"},  // nor in the key: nothing is done
    };
    for (const Case& c : cases) {
        WindowRig rig;
        rig.view.type(c.editor);
        rig.keyDialogView.key = c.key;
        rig.keyDialogView.button = c.button;
        rig.torvic.onEncode();
        EXPECT_EQ(rig.view.editorTextUtf8(), c.expected) << c.button << " [" << c.key << "]";
        EXPECT_EQ(rig.view.undoTexts, c.expected == c.editor ? Strings{} : Strings{c.editor});
        EXPECT_EQ(rig.keyDialogView.shows, c.shows);
        EXPECT_EQ(rig.keyDialog.CodiDescodi, c.chosen);
        EXPECT_EQ(rig.view.titles(), c.reason.empty() ? "" : L1252("Atenció:")) << c.key;
        EXPECT_NE((c.reason.empty() ? "" : rig.view.messages.at(0).text).find(c.reason), std::string::npos) << c.key;
    }
}

TEST(MousePicker, FixarPosicioReadsTheLeadingNumbers) {
    // The typed coordinates and the move asked ("" for none: a message box instead).
    struct Case { const char *x, *y, *call; } cases[] = {
        {"100abc", " 20", "cursor 100 20"}, {"10.5", "11.5", "cursor 10 12"}, {"&H10", "x", "cursor 16 0"},
        {"3e9", "0", ""},                   {"2147483647", "-2147483648", "cursor 2147483647 -2147483648"},
    };
    for (const Case& c : cases) {
        WindowRig rig;
        rig.torvic.onMousePosition();
        rig.mousePickerView.x = c.x;
        rig.mousePickerView.y = c.y;
        rig.mousePicker.onFixPosition();
        const std::string call = c.call;
        EXPECT_EQ(rig.platform.calls, call.empty() ? Strings{} : Strings{call}) << c.x << " " << c.y;
        EXPECT_EQ(rig.mousePickerView.boxes.size(), call.empty() ? 1u : 0u) << c.x << " " << c.y;
    }
}

// No backend reads the pointer: the reason once per showing, polling stopped, nothing thrown.
TEST(MousePicker, NoPointerOnTheDesktopIsSaidOnceAndEndsNothing) {
    WindowRig rig;
    rig.view.setEditorTextUtf8("beep\r\nno guardat");
    rig.platform.pointerUnreachable = "ifmouse necessita una pantalla X, i DISPLAY no està definida";
    rig.torvic.onMousePosition();
    EXPECT_TRUE(rig.mousePickerView.polling);
    EXPECT_NO_THROW(rig.mousePicker.onTick());
    EXPECT_EQ(rig.mousePickerView.labelX, "no disponible");
    EXPECT_EQ(rig.mousePickerView.labelY, "no disponible");
    ASSERT_EQ(rig.mousePickerView.boxes.size(), 1u);
    EXPECT_NE(rig.mousePickerView.boxes[0].find("DISPLAY no està definida"), std::string::npos);
    EXPECT_FALSE(rig.mousePickerView.polling);
    rig.mousePickerView.x = "10";
    EXPECT_NO_THROW(rig.mousePicker.onFixPosition());
    ASSERT_EQ(rig.mousePickerView.boxes.size(), 2u);
    EXPECT_NE(rig.mousePickerView.boxes[1].find("DISPLAY"), std::string::npos);
    EXPECT_EQ(rig.view.editorTextUtf8(), "beep\r\nno guardat");
    // The desktop back: the next showing reads it again.
    rig.platform.pointerUnreachable.clear();
    rig.platform.pointerX = 7, rig.platform.pointerY = 9;
    rig.torvic.onMousePosition();
    rig.mousePicker.onTick();
    EXPECT_EQ(rig.mousePickerView.labelX + "," + rig.mousePickerView.labelY, "7,9");
    EXPECT_TRUE(rig.mousePickerView.polling);
    EXPECT_EQ(rig.mousePickerView.boxes.size(), 2u);
}

TEST(Help, TheManualItsPrintingTheLocalPageAndTheSystemInformation) {
    test::TempDir dir;
    WindowRig rig;
    rig.torvic.programDirectory = [&dir] { return dir.path(); };
    rig.torvic.onManual();  // F1 needs no file and no viewer: the help window shows it
    rig.torvic.onPrintManual();  // no torvic.rtf to print
    EXPECT_EQ(rig.view.titles(), "Error en trobar un fitxer:");
    std::ofstream(dir / "torvic.rtf") << "{\\rtf1 }";
    std::ofstream(dir / "torvic.html") << "<html></html>";
    rig.torvic.onPrintManual();  // handed to the printing service
    rig.platform.printing = false;
    rig.torvic.onPrintManual();  // none: the help window's print dialog
    EXPECT_EQ(rig.view.manualsShown, (Strings{"show", "print"}));

    rig.aboutBox.systemInformationPrograms = [] { return Strings{"\"/usr/bin/kinfocenter\"", "lxtask"}; };
    rig.aboutBox.onSystemInfo();
    EXPECT_EQ(rig.platform.calls, (Strings{"shell 'print' 0 " + conventions::programDataFile(dir.path(), "torvic.rtf"),
                                           "exec 1 \"/usr/bin/kinfocenter\""}));
    rig.aboutBox.systemInformationPrograms = [] { return Strings{}; };
    rig.aboutBox.onSystemInfo();
    EXPECT_EQ(rig.aboutBoxView.boxes, Strings{L1252("Torvic|La información del sistema no está disponible en este momento")});
}

// The local manual is offered as the page, and shown on Yes.
TEST(Help, TheWebPageOffersTheManualThatIsThere) {
    const std::tuple<Strings, std::string, bool> cases[] = {
        {{"torvic.html", "torvic.rtf"}, "torvic.html", true}, {{"torvic.html"}, "torvic.html", false},
        {{"torvic.rtf"}, "torvic.rtf", true}, {{}, "", true}};
    for (const auto& [files, offered, yes] : cases) {
        test::TempDir dir;
        for (const std::string& f : files) std::ofstream(dir / f) << "manual";
        WindowRig rig;
        rig.torvic.programDirectory = [&dir] { return dir.path(); };
        rig.view.answers = {yes};
        rig.torvic.onWebPage();
        ASSERT_EQ(rig.view.messages.size(), 1u) << offered;
        const test::Message& box = rig.view.messages[0];
        EXPECT_EQ(box.icon, offered.empty() ? MessageIcon::Critical : MessageIcon::Information) << offered;
        EXPECT_EQ(rig.view.systemModal, std::vector<bool>(offered.empty() ? 1 : 0, false)) << offered;  // blocks no other program
        const std::string page = offered.empty() ? "" : "file://" + conventions::programDataFile(dir.path(), offered);
        EXPECT_NE(box.text.find(page), std::string::npos) << box.text;
        EXPECT_EQ(rig.view.manualsShown, offered.empty() || !yes ? Strings{} : Strings{"show"}) << offered;
    }
}

}  // namespace
}  // namespace torvic
