// Every window's behaviour with fake views (the main window, frmMissatge,
// frmSubstituir, the key dialog, the mouse picker, the help menu and the
// about box), and the pure routines of the editor.
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

using test::Message;
using test::WindowRig;

TEST(CommandLine, Forms) {
    struct Case { std::string cmd; StartRequest::Kind kind; std::string file; } cases[] = {
        {"", StartRequest::Nothing, ""},
        {"/exec \"c:\\my dir\\a.torvic\"", StartRequest::RunHidden, "c:\\my dir\\a.torvic"},
        {"/exec \"c:\\a.torvi", StartRequest::RunHidden, "c:\\a.torv"},  // no closing quote: last character lost
        {"\"c:\\with blanks\\a.torvic\"", StartRequest::Edit, "c:\\with blanks\\a.torvic"},
        {"\"", StartRequest::Edit, ""},
    };
    for (const Case& c : cases) {
        StartRequest r = parseCommandLine(c.cmd);
        EXPECT_EQ(r.kind, c.kind) << c.cmd;
        EXPECT_EQ(r.file, c.file) << c.cmd;
    }
    EXPECT_EQ(commandLineText({"/exec", "my script.torvic"}), "/exec \"my script.torvic\"");
    // The arguments of a whole command line, as Windows gives it.
    const std::pair<std::string, std::string> lines[] = {
        {"\"c:\\Program Files\\torvic.exe\"  /exec \"a b.torvic\"", "/exec \"a b.torvic\""},
        {"torvic.exe a.torvic", "a.torvic"},
        {"torvic.exe", ""},
        {"\"unclosed quote", ""},
    };
    for (const auto& [line, arguments] : lines) EXPECT_EQ(commandLineArguments(line), arguments) << line;
}

TEST(Layout, ResizeRulesInWindowUnits) {
    std::map<std::string, int> big;
    for (const LayoutStep& s : resizeLayout(1000, 700)) big[s.control + "." + std::to_string(s.property)] = s.pixels;
    EXPECT_EQ(big["Text1.2"], 983);  // (1000 / 0.93987 - 18) units
    EXPECT_EQ(big["Text1.3"], 518);
    EXPECT_EQ(big["Frame2.0"], 678);
    EXPECT_EQ(big["Frame1.1"], 629);
    EXPECT_EQ(resizeLayout(10, 10).size(), 7u);  // negative sizes are skipped

    // At the smallest client area the two frames stand side by side and the
    // editor keeps some lines; a pixel narrower and the frames would overlap.
    const Rect smallest = minimumClientSize();
    for (int shrink : {0, 1}) {
        std::map<std::string, int> at;
        for (const LayoutStep& s : resizeLayout(smallest.width - shrink, smallest.height))
            at[s.control + "." + std::to_string(s.property)] = s.pixels;
        const int frame1Right = at["Frame1.0"] + designRect("Frame1").width;
        EXPECT_EQ(frame1Right <= at["Frame2.0"], shrink == 0) << frame1Right << " " << at["Frame2.0"];
        EXPECT_GE(at["Text1.3"], 48);
    }
}

// ---- main window behaviour ---------------------------------------------------

// What the main window shows of a run: Text3|Text4 (and its highlight),
// the run buttons, Timer1, the window, the icon with its tooltip and marks.
std::string shown(const WindowRig& r) {
    const test::FakeMainView& v = r.view;
    return v.text3Field + "|" + v.text4Field + (v.text4Yellow ? " (yellow)" : "") +
           (v.buttonsEnabled ? "|buttons on" : "|buttons off") + (v.timers.isOn(1) ? "|timer1 on" : "|timer1 off") +
           (v.visible ? "|visible|" : "|hidden|") +
           (v.iconShown ? v.iconTooltip + (v.checkAturat ? " +Aturat" : "") + (v.checkExecutant ? " +Executant-se" : "")
                        : "no icon");
}

TEST(MainWindow, RunButtonsThroughAWaitAndAStop) {
    WindowRig rig;
    rig.view.editor = "beep\r\nwait(1000)\r\nbeep";
    rig.view.caret = 11;  // after "wait(": its hint, highlighted
    rig.torvic.onEditorKeyUp();
    rig.torvic.onRunAll();
    EXPECT_EQ(shown(rig), "1|wait(1000) (yellow)|buttons off|timer1 on|visible|no icon");
    rig.view.caret = 3;  // the user moves about the editor while the run waits
    rig.torvic.onEditorKeyUp();
    EXPECT_EQ(rig.view.text4Field + rig.view.labelColumn, "wait(1000)3");
    rig.torvic.onMenuRunAll();  // a second run while waiting does nothing
    EXPECT_EQ(rig.platform.calls.size(), 1u);
    rig.torvic.onStopRun();  // F4
    EXPECT_EQ(shown(rig), "1|wait(1000) (yellow)|buttons on|timer1 off|visible|no icon");
    rig.torvic.onMenuContinueRun();  // F5 continues from Text3: the wait again
    rig.advance(1000);
    EXPECT_EQ(rig.platform.calls.size(), 2u);
    EXPECT_EQ(shown(rig), "Acabat||buttons on|timer1 off|visible|no icon");  // emptied: the plain background again
}

// The hint comes from the caret's line: to its first "(", or to the caret
// when it has none; a "(" only on a later line would take the line break
// into the keyword text, which then names no command.
TEST(MainWindow, HintFromTheCaretsLine) {
    const struct {
        const char* text;
        std::size_t caret;
        const char* column;
        const char* hint;
    } cases[] = {
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
        EXPECT_EQ(rig.view.labelColumn, c.column) << c.text;
        EXPECT_EQ(rig.view.text4Field, c.hint) << c.text;
    }
}

TEST(MainWindow, StopActsBetweenTheLinesOfARun) {
    // A loop of a thousand million lines: the window handles its input at
    // screen rate, and the third time the user has pressed F4.
    WindowRig rig;
    rig.view.editor = "beep\r\ngoto(0,32767)\r\ngoto(0,32767)";
    rig.view.onPendingInput = [&rig] {
        if (rig.view.inputChecks == 3) rig.torvic.onStopRun();
    };
    rig.torvic.onRunAll();
    EXPECT_EQ(rig.view.inputChecks, 3);
    EXPECT_TRUE(rig.view.buttonsEnabled);
    EXPECT_NE(rig.view.text3Field, "Acabat");  // stopped, not finished
}

TEST(MainWindow, TheIconsMenuPausesContinuesAndBringsTheWindowBack) {
    WindowRig rig;
    rig.view.editor = "beep\r\nwait(1000)\r\nbeep";
    rig.torvic.onRunHidden();  // "Executa Ocult": waiting in the tray
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons off|timer1 on|hidden|Torvic Executant-se +Executant-se");
    rig.torvic.onTrayPause();
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons on|timer1 off|hidden|Torvic Pausat +Executant-se");
    rig.torvic.onTrayContinue();  // the waiting line again
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons off|timer1 on|hidden|Torvic Executat-se +Aturat");
    rig.torvic.onTrayRestore();
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons off|timer1 on|visible|no icon");
    rig.view.visible = false;  // a stray double click once the window is back does nothing
    rig.torvic.iconDoubleClicked();
    EXPECT_FALSE(rig.view.visible);
    rig.torvic.onIconise();  // the tooltip is always "Executant-se" going in; the marks keep their last state
    EXPECT_EQ(shown(rig), "1|wait(1000)|buttons off|timer1 on|hidden|Torvic Executant-se +Aturat");
    rig.view.saveChoices = {SaveChoice::Discard};
    rig.torvic.onTrayExit();
    EXPECT_TRUE(rig.view.ended && !rig.view.iconShown);
}

TEST(MainWindow, WithoutANotificationAreaTheWindowGoesToTheTaskbar) {
    WindowRig rig;
    rig.view.notificationArea = false;
    rig.view.editor = "beep";
    rig.view.saveChoices = {SaveChoice::Discard};  // typed, not saved: asked at the end
    rig.torvic.onRunHidden();  // "Executa Ocult"
    EXPECT_TRUE(rig.view.minimised && rig.view.visible && rig.view.ended);  // never hidden for good
    EXPECT_EQ(rig.view.statusTexts.size(), 1u);
}

TEST(MainWindow, StartUp) {
    test::TempDir tmp;
    std::string script = tmp / "my script.torvic";
    ASSERT_TRUE(writeFileSafely(script, "beep\r\nbeep\r\n"));
    WindowRig hidden;
    hidden.torvic.onLoad("/exec \"" + script + "\"");
    EXPECT_FALSE(hidden.view.visible);
    EXPECT_EQ(hidden.platform.calls.size(), 2u);
    EXPECT_TRUE(hidden.view.ended);

    WindowRig missing;  // unreadable, without a notification area: the error, then the program ends, unseen
    missing.view.notificationArea = false;
    missing.torvic.onLoad("/exec nowhere.torvic");
    ASSERT_EQ(missing.view.messages.size(), 1u);
    EXPECT_EQ(missing.view.messages[0].title, "Error en trobar el fitxer:");
    EXPECT_TRUE(missing.view.ended && !missing.view.visible && !missing.view.minimised);

    // A relative name opens in the current folder, and is shown as the absolute name it opened.
    for (const char* relative : {"\"my script.torvic\"", "\"./x/../my script.torvic\""}) {
        WindowRig edit;
        edit.torvic.currentDirectory = [&tmp] { return tmp.path(); };
        edit.torvic.onLoad(relative);
        EXPECT_EQ(edit.view.text2Field, std::filesystem::path(script).make_preferred().string()) << relative;
        EXPECT_EQ(edit.view.editor, "beep\r\nbeep") << relative;
        EXPECT_EQ(edit.view.caption, "my script.torvic - " + L1252(MainWindowPresenter::kCaption));
    }

    WindowRig plain;
    plain.torvic.onLoad("");
    EXPECT_EQ(plain.view.text2Field, std::string("/home/user") + conventions::folderSeparator());
    EXPECT_TRUE(plain.view.endButtonHidden);
}

class ProgramFiles : public ::testing::Test {
protected:
    std::string path(const std::string& n) const { return tmp / n; }
    void put(const std::string& n, const std::string& bytes) const { std::ofstream(path(n), std::ios::binary) << bytes; }
    // Opens a name typed in Text2, answering the "program is lost" question with `yes`.
    void open(const std::string& name, bool yes = true) {
        rig.view.text2Field = name;
        rig.view.answers = {yes};
        rig.torvic.onOpenClick();
    }
    test::TempDir tmp;
    WindowRig rig;
};

TEST_F(ProgramFiles, OpenReadsLineEndsPatternsAndAsksBeforeReplacing) {
    put("crlf.torvic", "a\r\nb\r\nc\r\n");
    put("cr.torvic", "a\rb\rc");
    put("lf.torvic", "a\nb\nc\n");
    open(tmp / "c*.torvic");  // the first match in name order
    EXPECT_EQ(rig.view.text2Field, path("cr.torvic"));
    EXPECT_EQ(rig.view.editor, "a\r\nb\r\nc");
    EXPECT_TRUE(rig.view.messages.empty());  // an empty editor is replaced without a question
    open(path("lf.torvic"), false);
    EXPECT_EQ(rig.view.messages.at(0).title, L1252("El programa actual es perdrà:"));
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
    rig.view.messages.clear();
    open(tmp / "*.none");
    EXPECT_EQ(rig.view.text2Field, tmp.path() + "/");
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].text,
              "El fitxer especificat no s'ha pogut trobar. Introdueixi el nom del fitxer, o cliqui sobre Navegar.");
}

// A folder, and a file the editor box could not give back as it is (a NUL
// byte), are refused with the reason; the editor keeps its text.
TEST_F(ProgramFiles, FoldersAndBinaryFilesAreRefusedWithTheReason) {
    put("binary.torvic", std::string("\0ELF\x01\x02", 6) + "beep");
    std::filesystem::create_directory(path("carpeta.torvic"));
    const std::pair<std::string, std::string> cases[] = {
        {path("carpeta.torvic"), L1252("El nom especificat és una carpeta, no un fitxer.")},
        {path("binary.torvic"), L1252("El fitxer conté caràcters nuls")},
        {path("cap.torvic"), "El fitxer especificat no s'ha pogut trobar."},
    };
    for (const auto& [name, reason] : cases) {
        rig.view.editor = "beep";
        rig.view.messages.clear();
        open(name);
        EXPECT_EQ(rig.view.editor, "beep") << name;
        ASSERT_EQ(rig.view.messages.size(), 1u) << name;
        EXPECT_TRUE(rig.view.messages[0].text.starts_with(reason)) << rig.view.messages[0].text;
    }
}

// The caption names the program's file and marks changes not saved.
TEST_F(ProgramFiles, TheCaptionFollowsTheFileAndItsChanges) {
    put("a.torvic", "beep");
    const auto type = [this](const char* text) {
        rig.view.editor = text;
        rig.torvic.onEditorChange();
    };
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
        EXPECT_EQ(rig.view.caption, name + L1252(MainWindowPresenter::kCaption));
    }
}

// Another name typed and its opening declined: Text2 names the editor's
// program again, and saving writes that file, naming it in the question.
TEST_F(ProgramFiles, SaveWritesTheFileTheCaptionNames) {
    put("a.torvic", "beep");
    put("b.torvic", "other");
    open(path("a.torvic"));
    open(path("b.torvic"), false);  // No to "Si obriu un altre programa..."
    EXPECT_EQ(rig.view.text2Field, path("a.torvic"));
    EXPECT_EQ(rig.view.editor, "beep");
    rig.view.editor = "beep\r\nwait(1)";
    rig.torvic.onEditorChange();
    rig.view.text2Field = path("b.torvic");
    rig.view.saveChoices = {SaveChoice::Cancel};  // changes not saved: the save question, cancelled
    rig.torvic.onOpenClick();
    EXPECT_EQ(rig.view.text2Field, path("a.torvic"));
    EXPECT_EQ(rig.view.caption, "*a.torvic - " + L1252(MainWindowPresenter::kCaption));
    rig.view.messages.clear();
    rig.view.answers = {true};
    rig.torvic.onSaveClick();
    EXPECT_EQ(readFileBytes(path("a.torvic")).value(), "beep\r\nwait(1)");
    EXPECT_EQ(readFileBytes(path("b.torvic")).value(), "other");
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].text, path("a.torvic") + "\r\rSobreescriure ?");
    EXPECT_EQ(rig.view.caption, "a.torvic - " + L1252(MainWindowPresenter::kCaption));

    WindowRig fresh;  // a program never saved: the name declined stays for saving it
    fresh.view.editor = "beep";
    fresh.view.text2Field = path("b.torvic");
    fresh.view.saveChoices = {SaveChoice::Cancel};
    fresh.torvic.onOpenClick();
    EXPECT_EQ(fresh.view.text2Field, path("b.torvic"));
}

TEST_F(ProgramFiles, SaveAskSaveAsAndErrors) {
    put("x.torvic", "old");
    rig.view.editor = "new";
    rig.view.text2Field = path("x.torvic");
    rig.view.answers = {true};
    rig.torvic.onSaveClick();
    EXPECT_EQ(rig.view.messages.at(0).title, "El fitxer ja existeix:");
    EXPECT_EQ(readFileBytes(path("x.torvic")).value(), "new");

    // No, then cancelling the save-as dialog: "Atenció:" and nothing written.
    rig.view.editor = "other";
    rig.view.answers = {false};
    rig.torvic.onSaveClick();
    EXPECT_EQ(rig.view.messages.back().text,
              "El fitxer no s'ha guardat. No heu especificat cap nom de fitxer nou per guardar.");
    EXPECT_EQ(readFileBytes(path("x.torvic")).value(), "new");

    rig.view.dialogAnswers = {path("new.torvic"), ""};
    rig.torvic.onSaveAsClick();
    EXPECT_EQ(readFileBytes(path("new.torvic")).value(), "other");
    rig.torvic.onSaveAsClick();  // the dialog is pre-filled with the last name
    EXPECT_EQ(rig.view.dialogsShown.back(), "save |" + path("new.torvic"));

}
TEST_F(ProgramFiles, UnsavedChangesAreAskedAboutOnEveryPath) {
    put("other.torvic", "other");
    struct Path {
        const char* name;
        std::function<void(WindowRig&)> act;
        std::function<bool(WindowRig&)> acted;
    };
    const auto ended = [](WindowRig& r) { return r.view.ended; };
    const std::string other = path("other.torvic");
    const Path paths[] = {
        {"End (Esc, the close box)", [](WindowRig& r) { r.torvic.onEnd(); }, ended},
        {"Sortir", [](WindowRig& r) { r.torvic.onExit(); }, ended},
        {"Nou programa", [](WindowRig& r) { r.torvic.onNewProgram(); }, [](WindowRig& r) { return r.view.editor.empty(); }},
        {"open another program",
         [&](WindowRig& r) {
             r.view.text2Field = other;
             r.torvic.onOpenClick();
         },
         [](WindowRig& r) { return r.view.editor == "other"; }},
        {"a hidden run that ends", [](WindowRig& r) { r.torvic.onRunHidden(); }, ended},
    };
    for (const Path& p : paths) {
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
            EXPECT_EQ(asked, choice >= 0) << p.name << " " << choice;
            EXPECT_EQ(p.acted(r), choice < 0 || answer != SaveChoice::Cancel) << p.name << " " << choice;
            EXPECT_EQ(readFileBytes(mine).value_or("<none>"), answer == SaveChoice::Save ? "beep" : "<none>")
                << p.name << " " << choice;
            if (answer == SaveChoice::Cancel) {
                EXPECT_EQ(r.view.editor, "beep") << p.name;
                EXPECT_TRUE(r.view.visible) << p.name;  // a hidden window comes back with the text
            }
        }
    }
}

// ---- programs in UTF-8, characters 1252 cannot hold, names the system gave ----

namespace fs = std::filesystem;
fs::path systemPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// A script as another editor writes it and as this one does: read into the
// editor, run (its texts and file names with accents), and saved back in
// the encoding it came in.
TEST_F(ProgramFiles, ProgramsRunAndAreSavedInTheEncodingTheyCameIn) {
    const std::string script = "msg(\"Cafè i més\")\r\nopen(\"" + path("café.txt") + "\")\r\nrepl(\"x\",\"y\")\r\nsave(\"" +
                               path("sortida-à.txt") + "\")\r\n";
    std::string withLineFeeds = script;
    for (std::size_t p; (p = withLineFeeds.find("\r\n")) != std::string::npos;) withLineFeeds.erase(p, 1);
    // The file's bytes, whether the window says it read UTF-8, the bytes saved.
    struct Case { const char* what; std::string bytes; bool utf8; std::string saved; } cases[] = {
        {"1252, CR LF", utf8To1252(script), false, utf8To1252(script)},
        {"UTF-8 with its mark", std::string(kUtf8Bom) + script, true, std::string(kUtf8Bom) + script},
        {"UTF-8 with LF", withLineFeeds, true, script},  // the editor's own line ends
    };
    for (const Case& c : cases) {
        WindowRig r;
        ASSERT_TRUE(writeFileSafely(path("café.txt"), "x\r\n"));
        fs::remove(systemPath(path("sortida-à.txt")));
        ASSERT_TRUE(writeFileSafely(path("p.torvic"), c.bytes));
        r.view.text2Field = path("p.torvic");
        r.torvic.onOpenClick();
        EXPECT_EQ(r.view.editor, utf8To1252(script.substr(0, script.size() - 2))) << c.what;
        const bool saidUtf8 = r.view.statusTexts.size() == 1 && r.view.statusTexts[0].find("UTF-8") != std::string::npos;
        EXPECT_EQ(saidUtf8, c.utf8) << c.what;
        r.torvic.onRunAll();
        ASSERT_EQ(r.view.messages.size(), 1u) << c.what;
        EXPECT_EQ(r.view.messages[0].text, L1252("Cafè i més")) << c.what;
        EXPECT_EQ(readFileBytes(path("sortida-à.txt")).value_or("<none>"), "y\r\n") << c.what;
        r.view.answers = {true};  // "Sobreescriure ?"
        r.torvic.onSaveClick();
        EXPECT_EQ(readFileBytes(path("p.torvic")).value_or("<none>"), c.saved) << c.what;
    }
}

TEST_F(ProgramFiles, Saving1252CharactersItCannotHoldOffersUtf8) {
    rig.view.type("msg(\"a→b\")\r\nbeep");  // a new program is 1252
    rig.view.text2Field = path("x.torvic");
    rig.view.answers = {false};
    rig.torvic.onSaveClick();  // No: nothing written
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].title, L1252("Caràcters que es perdrien:"));
    EXPECT_NE(rig.view.messages[0].text.find("U+2192"), std::string::npos);
    EXPECT_FALSE(readFileBytes(path("x.torvic")));
    rig.view.answers = {true};  // Yes: UTF-8 keeps them
    rig.torvic.onSaveClick();
    const std::string utf8 = "msg(\"a→b\")\r\nbeep";
    const std::string mark(systemTextEncoding() == TextEncoding::Ansi ? kUtf8Bom : "");
    EXPECT_EQ(readFileBytes(path("x.torvic")).value_or("<none>"), mark + utf8);
    rig.view.answers = {true};  // from now on a UTF-8 program: only "Sobreescriure ?"
    rig.torvic.onSaveClick();
    EXPECT_EQ(rig.view.messages.size(), 3u);
    EXPECT_EQ(rig.view.messages.back().title, "El fitxer ja existeix:");

    WindowRig back;
    back.view.text2Field = path("x.torvic");
    back.torvic.onOpenClick();
    EXPECT_EQ(back.view.editorTextUtf8(), utf8);
    EXPECT_EQ(back.view.caption, "x.torvic - " + L1252(MainWindowPresenter::kCaption));  // nothing changed
}

TEST(Utf8Programs, EncodingWithAKeyRefusesCharacters1252CannotHold) {
    WindowRig rig;
    rig.view.type("beep\r\nmsg(\"ő\")");
    rig.keyDialogView.key = "k";
    rig.keyDialogView.button = 1;
    rig.torvic.onEncode();
    EXPECT_EQ(rig.keyDialogView.shows, 0);
    EXPECT_EQ(rig.view.editorTextUtf8(), "beep\r\nmsg(\"ő\")");
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].title, L1252("Atenció:"));
    EXPECT_NE(rig.view.messages[0].text.find("(U+0151)"), std::string::npos);

    WindowRig key;  // a 1252 program, a key 1252 cannot hold: nothing is done, and the window says why
    key.view.editor = "beep";
    key.keyDialogView.key = "k→";
    key.keyDialogView.button = 1;
    key.torvic.onEncode();
    EXPECT_EQ(key.keyDialogView.shows, 1);
    EXPECT_EQ(key.keyDialog.CodiDescodi, 0);
    EXPECT_EQ(key.view.editor, "beep");
    ASSERT_EQ(key.view.messages.size(), 1u);
    EXPECT_NE(key.view.messages[0].text.find("(U+2192)"), std::string::npos);
}

TEST(Utf8Programs, FindAndReplaceKeepsCharacters1252CannotHold) {
    // After the caret, which counts characters (the arrow is one).
    for (bool afterCaret : {false, true}) {
        WindowRig rig;
        rig.view.type("→X\r\n→X");
        rig.view.caret = 4;  // after the first line's break
        rig.replaceDialogView.fill = [afterCaret](test::FakeReplaceDialogView& v) {
            v.find = "X", v.replacement = L1252("é"), v.afterCaret = afterCaret;
        };
        rig.torvic.onReplace();
        EXPECT_EQ(rig.view.editorTextUtf8(), afterCaret ? "→X\r\n→é" : "→é\r\n→é");
        EXPECT_EQ(rig.view.undoTexts, std::vector<std::string>{"→X\r\n→X"});  // undone without loss
    }
}

// A program whose name 1252 cannot spell opens, runs and saves by the name
// the system gave (the command line's, a dialog's); the window shows that
// name with '?' for what it cannot show, which is never taken for a pattern.
TEST_F(ProgramFiles, ProgramsNamedBeyond1252) {
    const std::string name = path("prova→ő.torvic");
    ASSERT_TRUE(writeFileSafely(name, "beep\r\n"));
    ASSERT_TRUE(writeFileSafely(path("provaXY.torvic"), "wrong\r\n"));  // what "prova??" would match
    rig.torvic.onLoad("\"" + name + "\"");  // torvic FILE
    EXPECT_EQ(rig.view.editor, "beep");
    EXPECT_EQ(rig.view.text2Field, path("prova??.torvic"));
    EXPECT_EQ(rig.view.caption, "prova??.torvic - " + L1252(MainWindowPresenter::kCaption));
    rig.torvic.onRunAll();
    EXPECT_EQ(rig.platform.calls, std::vector<std::string>{"beep"});
    rig.view.editor = "beep\r\nbeep";
    rig.view.answers = {true};  // "Sobreescriure ?"
    rig.torvic.onSaveClick();
    EXPECT_EQ(readFileBytes(name).value_or("<none>"), "beep\r\nbeep\r\n");
    EXPECT_FALSE(fs::exists(systemPath(path("prova??.torvic"))));
    rig.view.answers = {true};  // Enter in Text2 reloads the same file
    rig.torvic.onFileNameKeyPress(13);
    EXPECT_EQ(rig.view.editor, "beep\r\nbeep");
    EXPECT_EQ(rig.view.messages.size(), 2u);  // the two questions, no error

    WindowRig dialogs;  // "Navegar i Obrir", then "Guardar com.."
    dialogs.view.dialogAnswers = {name, path("còpia→.torvic")};
    dialogs.torvic.onBrowseAndOpenClick();
    EXPECT_EQ(dialogs.view.editor, "beep\r\nbeep");
    dialogs.torvic.onSaveAsClick();
    EXPECT_EQ(dialogs.view.dialogsShown.back(), "save |" + name);  // pre-filled with the system's name
    EXPECT_EQ(readFileBytes(path("còpia→.torvic")).value_or("<none>"), "beep\r\nbeep\r\n");

    ASSERT_TRUE(writeFileSafely(path("fes→.torvic"), "beep\r\nbeep\r\nbeep"));
    WindowRig hidden;  // torvic /exec FILE
    hidden.torvic.onLoad("/exec \"" + path("fes→.torvic") + "\"");
    EXPECT_EQ(hidden.platform.calls.size(), 3u);
    EXPECT_TRUE(hidden.view.ended);

    WindowRig typed;  // a name typed in Text2 is 1252
    typed.view.editor = "beep";
    typed.view.text2Field = L1252(path("café.torvic"));
    typed.torvic.onSaveClick();
    EXPECT_EQ(readFileBytes(path("café.torvic")).value_or("<none>"), "beep");
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
        // The manual beside a program in that folder: the shell could not be
        // handed its name, so the help window prints it.
        EXPECT_TRUE(writeFileSafely(folder + "/torvic.rtf", "{\\rtf1 }"));
        windows.main.onPrintManual();
        EXPECT_EQ(windows.mainView.manualsShown, std::vector<std::string>{"print"});
        EXPECT_TRUE(platform.calls.empty());
    }
    fs::current_path(before);
}

TEST_F(ProgramFiles, BrowseAndNewProgram) {
    put("p.torvic", "from disk");
    rig.view.text2Field = tmp.path() + "/";
    rig.view.dialogAnswers = {path("p.torvic")};
    rig.torvic.onBrowseAndOpenClick();  // the dialog opens in Text2's folder
    EXPECT_EQ(rig.view.dialogsShown.back() + rig.view.editor, "open " + tmp.path() + "/|from disk");
    rig.torvic.onNewProgram();
    EXPECT_EQ(rig.view.text2Field, std::string("/home/user") + conventions::folderSeparator() + "nou_programa.torvic");
}

TEST(FindAndReplace, Examples) {
    // What the user types (find, replacement, count, only after the caret) and the editor after.
    struct Case { std::string find, replacement, count; bool afterCaret; std::string expected; } cases[] = {
        {"X", "-", "-1", false, "a-b-c"}, {"X", "-", "1", false, "a-bXc"}, {"X", "-", "-1", true, "aXb-c"},
        {"x", "-", "-1", false, "aXbXc"}, {"X", "-", "abc", false, "aXbXc"},
    };
    for (const Case& c : cases) {
        WindowRig rig;
        rig.view.editor = "aXbXc";
        rig.view.caret = 3;
        rig.replaceDialogView.fill = [&c](test::FakeReplaceDialogView& v) {
            std::tie(v.find, v.replacement, v.count, v.afterCaret) = std::tie(c.find, c.replacement, c.count, c.afterCaret);
        };
        rig.torvic.onReplace();
        EXPECT_EQ(rig.view.editor, c.expected) << c.find << " " << c.count << " " << c.afterCaret;
        EXPECT_EQ(rig.view.undoTexts, c.expected == "aXbXc" ? std::vector<std::string>{}
                                                            : std::vector<std::string>{"aXbXc"});
    }
}

TEST(FindAndReplace, ClipboardCloseBoxAndBadCounts) {
    WindowRig rig;
    rig.view.editor = "aXbXc";
    rig.replaceDialogView.clipboard = "foo";
    rig.replaceDialogView.pressSubstituir = false;  // closed with the close box before any press
    rig.torvic.onReplace();
    EXPECT_EQ(rig.replaceDialogView.find, "foo");
    EXPECT_TRUE(rig.replaceDialogView.selectedAll);
    EXPECT_EQ(rig.view.editor, "aXbXc");  // nothing to repeat yet
    rig.replaceDialogView.pressSubstituir = true;
    rig.replaceDialogView.fill = [](test::FakeReplaceDialogView& v) { v.find = "X", v.replacement = "-"; };
    rig.torvic.onReplace();
    rig.view.editor = "XX";
    rig.replaceDialogView.pressSubstituir = false;  // the close box repeats the previous replacement
    rig.torvic.onReplace();
    EXPECT_EQ(rig.view.editor, "--");
    rig.replaceDialogView.pressSubstituir = true;
    rig.replaceDialogView.fill = [](test::FakeReplaceDialogView& v) { v.find = "-", v.count = "40000"; };
    rig.torvic.onReplace();
    EXPECT_EQ(rig.view.editor, "--");
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].title, L1252("Atenció:"));
}

// ---- frmMissatge ---------------------------------------------------------------

struct MissatgeRig {
    test::FakeMessageWindowView view;
    MessageWindowPresenter m{view};
    MissatgeRig() { view.behaviour = &m; }
};

TEST(Missatge, CountsDownAndClosesByItself) {
    for (int from : {3, 0}) {
        MissatgeRig r;
        std::vector<std::string> shown;
        r.view.whileOpen = [&] {
            for (shown.push_back(r.view.seconds); r.view.open;) {
                r.m.onTick();
                if (r.view.open) shown.push_back(r.view.seconds);
            }
        };
        r.m.ferMissatge("text", "T", static_cast<std::int16_t>(from));
        std::vector<std::string> expected;  // from, ..., 0, then it closes
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

// The export file: its name (typed in 1252) is the system's, each message is
// added in the system's text encoding, and a name that is a folder or lies in
// a missing folder is reported.
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
    if (systemTextEncoding() == TextEncoding::Utf8) {  // no file by the raw 1252 bytes
        EXPECT_FALSE(std::filesystem::exists(tmp / L1252("errors à.txt")));
    }
    for (const std::string& bad : {tmp / "no/such/dir.txt", tmp.path()}) {
        r.view.exportName = bad;
        r.m.ferMissatge("third", "T3", 15);
    }
    EXPECT_EQ(r.view.boxes, (std::vector<std::string>(2, "Error amb el fitxer especificat.")));
}

// ---- encoded scripts in the window, and the key dialog --------------------------

TEST(Encoding, RunsDecodeLayerByLayerAndRefuseAnUnreadableHeader) {
    test::WindowRig rig;
    const std::string plain = "beep\r\nbeep";
    // The outer key's shift (1) leaves alone only code 246 of the inner layer,
    // which would come back one code lower: the format cannot tell it apart.
    const std::string inner = codificaText("first key", plain);
    ASSERT_EQ(sumaClau("x"), 1);
    ASSERT_EQ(inner.find('\xF6'), std::string::npos);
    rig.view.editor = codificaText("x", inner);
    rig.torvic.onRunAll();
    EXPECT_EQ(rig.platform.calls, (std::vector<std::string>{"beep", "beep"}));
    EXPECT_EQ(rig.view.editor.substr(0, 4), "$%& ");  // the editor keeps the encoded text

    test::WindowRig bad;  // a length character below 30: no key length, nothing runs
    bad.view.editor = "$%& " + test::bytes({29}) + "beep\r\nbeep";
    bad.torvic.onRunAll();
    EXPECT_TRUE(bad.platform.calls.empty());
    EXPECT_EQ(bad.view.messages.at(0).title, L1252("Atenció:"));
}

TEST(Encoding, TheKeyDialogDecidesWhatHappensToTheEditor) {
    const std::string plain = "beep\r\nwait(5)";
    // The button: 1 Codificar, 2 Descodificar, 3 Cancelar, 0 the close box.
    struct Case { std::string editor, key; int button; std::string expected; int shows; std::size_t boxes = 0; } cases[] = {
        {plain, "k", 1, codificaText("k", plain), 1},
        {codificaText("k", plain), "k", 2, plain, 1},
        {plain, "wrong", 2, plain, 1, 1},  // not encoded: left as it is, and the window says why
        {plain, "k", 0, plain, 1},
        {plain, "", 1, plain, 1},  // an empty key does nothing
        {"", "k", 1, "", 0},       // an empty editor: no dialog
    };
    for (const Case& c : cases) {
        test::WindowRig rig;
        rig.view.editor = c.editor;
        rig.keyDialogView.key = c.key;
        rig.keyDialogView.button = c.button;
        rig.torvic.onEncode();
        EXPECT_EQ(rig.view.editor, c.expected) << c.button << " [" << c.key << "]";
        // A change is one step the user can undo, back to the text before it.
        EXPECT_EQ(rig.view.undoTexts, c.expected == c.editor ? std::vector<std::string>{}
                                                             : std::vector<std::string>{cp1252::toUtf8(c.editor)});
        EXPECT_EQ(rig.keyDialogView.shows, c.shows);
        EXPECT_EQ(rig.view.messages.size(), c.boxes);
        EXPECT_EQ(rig.keyDialog.CodiDescodi, c.shows && (c.button == 1 || c.button == 2) ? c.button : 0);
    }
}

// ---- the mouse position picker: live coordinates, the moves "Fixar posició" makes from typed numbers

TEST(MousePicker, FixarPosicioReadsTheLeadingNumbers) {
    // The typed coordinates, and the move asked of the platform ("" for none).
    struct Case { const char *x, *y, *call; } cases[] = {
        {"100abc", " 20", "cursor 100 20"}, {"10.5", "11.5", "cursor 10 12"}, {"&H10", "x", "cursor 16 0"},
        {"3e9", "0", ""},                   {"2147483647", "-2147483648", "cursor 2147483647 -2147483648"},
    };
    for (const Case& c : cases) {
        test::WindowRig rig;
        rig.torvic.onMousePosition();
        rig.mousePickerView.x = c.x;
        rig.mousePickerView.y = c.y;
        rig.mousePicker.onFixPosition();
        const std::string call = c.call;
        EXPECT_EQ(rig.platform.calls, call.empty() ? std::vector<std::string>{} : std::vector<std::string>{call})
            << c.x << " " << c.y;
        EXPECT_EQ(rig.mousePickerView.boxes.size(), call.empty() ? 1u : 0u) << c.x << " " << c.y;
    }
}

// ---- the help menu (manual, printing, the web page) and the about box

TEST(Help, TheManualItsPrintingTheLocalPageAndTheSystemInformation) {
    test::TempDir dir;
    test::WindowRig rig;
    rig.torvic.programDirectory = [&dir] { return dir.path(); };
    rig.torvic.onManual();  // F1 needs no file and no viewer: the help window shows it
    rig.torvic.onPrintManual();  // no torvic.rtf to print
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].title + "|" + rig.view.messages[0].text,
              "Error en trobar un fitxer:|El fitxer torvic.rtf no s'ha pogut trobar.");
    std::ofstream(dir / "torvic.rtf") << "{\\rtf1 }";
    std::ofstream(dir / "torvic.html") << "<html></html>";
    rig.torvic.onPrintManual();  // handed to the printing service
    rig.platform.printing = false;
    rig.torvic.onPrintManual();  // none: the help window's print dialog
    rig.view.answers = {false, true};   // the local manual is offered as the page
    rig.torvic.onWebPage();
    rig.torvic.onWebPage();
    ASSERT_EQ(rig.view.messages.size(), 3u);
    EXPECT_EQ(rig.view.messages[2].text,
              "file://" + conventions::programDataFile(dir.path(), "torvic.html") + "\n\rVoleu accedir-hi?");
    EXPECT_EQ(rig.view.messages[2].title, "Web del programa:");
    EXPECT_EQ(rig.view.messages[2].icon, MessageIcon::Information);
    EXPECT_EQ(rig.view.manualsShown, (std::vector<std::string>{"show", "print", "show"}));

    rig.aboutBox.systemInformationPrograms = [] { return std::vector<std::string>{"\"/usr/bin/kinfocenter\"", "lxtask"}; };
    rig.aboutBox.onSystemInfo();
    EXPECT_EQ(rig.platform.calls, (std::vector<std::string>{"shell 'print' 0 " + conventions::programDataFile(dir.path(), "torvic.rtf"),
                                                            "exec 1 \"/usr/bin/kinfocenter\""}));
    rig.aboutBox.systemInformationPrograms = [] { return std::vector<std::string>{}; };
    rig.aboutBox.onSystemInfo();
    EXPECT_EQ(rig.aboutBoxView.boxes,
              std::vector<std::string>{L1252("Torvic|La información del sistema no está disponible en este momento")});
}

}  // namespace
}  // namespace torvic
