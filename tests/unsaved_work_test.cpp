// Work the editor must never lose: a file another program changed, files that cannot be
// opened, the recovery copy of unsaved work. Real files in a scratch folder, fake views.
#include <gtest/gtest.h>

#include <atomic>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "base/cp1252.h"
#include "editor/recovery_copy.h"
#include "platform/conventions.h"
#include "platform/files.h"
#include "tests/support/fake_views.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;
using test::WindowRig;

class UnsavedWork : public ::testing::Test {
protected:
    std::string path(const std::string& n) const { return tmp / n; }
    void put(const std::string& n, const std::string& bytes) const { ASSERT_TRUE(writeFileSafely(path(n), bytes)); }
    std::string read(const std::string& n) const { return readFileBytes(path(n)).value_or("<none>"); }
    std::string copies() const { return tmp / "state"; }
    void prepare(WindowRig& r) const {
        r.torvic.recoveryFolder = [this] { return copies(); };
        r.torvic.currentDirectory = [this] { return tmp.path(); };
    }
    void openIn(WindowRig& r, const std::string& name) {
        r.view.text2Field = path(name);
        r.view.answers = {true};
        r.torvic.onOpenClick();
        r.view.messages.clear();
    }
    std::vector<std::string> copiesLeft() const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(copies(), ec)) names.push_back(e.path().filename().string());
        return names;
    }
    // Copies this process wrote, renamed as if their program had ended (a pid that runs nothing).
    void orphanCopies() const {
        for (const auto& e : fs::directory_iterator(copies()))
            fs::rename(e.path(), fs::path(copies()) / "recovery-2147483000.torvic");
    }
    test::TempDir tmp;
    WindowRig rig;
};

TEST_F(UnsavedWork, SavingOverAnotherProgramsChangeAsksAndKeepsItByDefault) {
    put("p.torvic", "beep\r\n");
    prepare(rig);
    openIn(rig, "p.torvic");
    rig.view.editor = "beep\r\nwait(1)";
    rig.torvic.onEditorChange();
    rig.torvic.onSaveClick();  // unchanged on disk: no question
    EXPECT_EQ(read("p.torvic"), "beep\r\nwait(1)\r\n");
    EXPECT_EQ(rig.view.titles(), "");
    // Changed by another program: the default answer keeps its version and the editor's text.
    put("p.torvic", "beep\r\nwait(1)\r\nmsg(\"altre\")\r\n");
    rig.view.editor = "beep\r\nwait(2)";
    rig.torvic.onSaveClick();
    EXPECT_EQ(rig.view.titles(), L1252("El fitxer ha canviat al disc:"));
    EXPECT_EQ(read("p.torvic"), "beep\r\nwait(1)\r\nmsg(\"altre\")\r\n");
    EXPECT_EQ(rig.view.editor, "beep\r\nwait(2)");
    EXPECT_NE(rig.view.messages.back().text.find(path("p.torvic")), std::string::npos);
    rig.view.choices = {1};  // Comparar: the other version in a new window, nothing written
    rig.torvic.onSaveClick();
    EXPECT_EQ(rig.view.newWindows, std::vector<std::string>{path("p.torvic")});
    EXPECT_EQ(read("p.torvic"), "beep\r\nwait(1)\r\nmsg(\"altre\")\r\n");
    rig.view.saveChoices = {SaveChoice::Save};
    rig.torvic.onEnd();  // the same question on the way out: kept, the program goes on
    EXPECT_FALSE(rig.view.ended);
    EXPECT_EQ(read("p.torvic"), "beep\r\nwait(1)\r\nmsg(\"altre\")\r\n");
    rig.view.choices = {0};  // Sobreescriure: written, and the file is ours again
    rig.torvic.onSaveClick();
    EXPECT_EQ(read("p.torvic"), "beep\r\nwait(2)\r\n");
    rig.view.messages.clear();
    rig.torvic.onSaveClick();
    EXPECT_EQ(rig.view.titles(), "");
}

TEST_F(UnsavedWork, AChangedFileIsOfferedAgainWhenTheWindowComesBack) {
    put("p.torvic", "beep\r\n");
    prepare(rig);
    openIn(rig, "p.torvic");
    rig.torvic.onWindowActivated();  // nothing changed: nothing asked
    put("p.torvic", "beep\r\n");  // the same bytes at a new time: the same program
    rig.torvic.onWindowActivated();
    EXPECT_EQ(rig.view.titles(), "");
    // Changed, nothing unsaved: asked once, not again for the same change; No keeps the text.
    put("p.torvic", "beep\r\nbeep\r\n");
    rig.view.answers = {false};
    rig.torvic.onWindowActivated();
    rig.torvic.onWindowActivated();
    EXPECT_EQ(rig.view.titles(), L1252("El fitxer ha canviat al disc:"));
    EXPECT_EQ(rig.view.editor, "beep");
    // A further change: Yes reads it again, without the "program is lost" question.
    put("p.torvic", "wait(3)\r\n");
    rig.view.messages.clear();
    rig.view.answers = {true};
    rig.torvic.onWindowActivated();
    EXPECT_EQ(rig.view.editor + "|" + rig.view.titles(), "wait(3)|" + L1252("El fitxer ha canviat al disc:"));
    // With unsaved edits it is not read again: the status line says so.
    rig.view.editor = "wait(4)";
    put("p.torvic", "wait(5)\r\n");
    rig.view.messages.clear();
    rig.torvic.onWindowActivated();
    EXPECT_EQ(rig.view.titles(), "");
    EXPECT_EQ(rig.view.editor, "wait(4)");
    ASSERT_FALSE(rig.view.statusTexts.empty());
    EXPECT_NE(rig.view.statusTexts.back().find(L1252("Un altre programa ha modificat")), std::string::npos);
}

// A refused file says why (a word only its reason has), the editor keeps its text, and the
// next save writes the program, not the refused file.
TEST_F(UnsavedWork, ARefusedFileSaysWhyAndIsNeverTheNextSavesTarget) {
    put("mine.torvic", "beep\r\n");
    put("binary.torvic", std::string("MZ\0\0\x90", 5));
    fs::create_directory(path("carpeta.torvic"));
    struct Refused { const char* name; std::string why; };
    std::vector<Refused> refused = {
        {"binary.torvic", L1252("caràcters nuls")}, {"nowhere.torvic", L1252("no s'ha pogut trobar")},
        {"carpeta.torvic", "una carpeta"}, {"*.none", L1252("no s'ha pogut trobar")},
    };
#ifndef _WIN32
    fs::create_symlink("loop", path("loop"));
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    refused.push_back({"loop", L1252("simbòlics")});
    refused.push_back({"fifo", L1252("no és un fitxer normal")});
    put("huge.torvic", "");
    fs::resize_file(path("huge.torvic"), kMaxFileBytes + 1);
    refused.push_back({"huge.torvic", L1252("més dels 2147483647 que es poden llegir")});
#endif
    for (const auto& r : refused) {
        WindowRig w;
        prepare(w);
        openIn(w, "mine.torvic");
        w.view.editor = "beep\r\nbeep";  // typed since
        w.view.text2Field = path(r.name);
        w.torvic.onOpenClick();
        ASSERT_EQ(w.view.messages.size(), 1u) << r.name;
        EXPECT_EQ(w.view.messages[0].title, "Error en trobar el fitxer:") << r.name;
        EXPECT_NE(w.view.messages[0].text.find(r.why), std::string::npos) << r.name << ": " << w.view.messages[0].text;
        EXPECT_EQ(w.view.text2Field, path("mine.torvic")) << r.name;
        w.torvic.onSaveClick();
        EXPECT_EQ(read("mine.torvic"), "beep\r\nbeep\r\n") << r.name;
        put("mine.torvic", "beep\r\n");
    }
    EXPECT_EQ(read("binary.torvic"), std::string("MZ\0\0\x90", 5));
    // With no program before, the field keeps only the folder (a pattern's too).
    for (const char* name : {"binary.torvic", "*.none"}) {
        WindowRig fresh;
        prepare(fresh);
        fresh.view.text2Field = path(name);
        fresh.torvic.onOpenClick();
        EXPECT_EQ(fresh.view.text2Field, conventions::folderPart(path(name))) << name;
    }
}

TEST_F(UnsavedWork, TheCopyFollowsUnsavedWorkAndGoesWithIt) {
    put("p.torvic", "beep\r\n");
    prepare(rig);
    openIn(rig, "p.torvic");
    EXPECT_FALSE(fs::exists(copies()));  // a program with nothing unsaved leaves nothing behind
    rig.view.editor = "beep\r\nwait(1)";
    rig.torvic.onEditorChange();
    EXPECT_TRUE(rig.view.recoveryDue.has_value());  // written once the keys stop
    rig.torvic.onRecoveryTimer();
    rig.torvic.writeRecoveryNow();  // (after any write still under way)
    ASSERT_EQ(copiesLeft().size(), 1u);
    const auto copy = parseRecovery(readFileBytes(copies() + "/" + copiesLeft()[0]).value_or(""));
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(copy->content.text + "|" + copy->content.programName, "beep\r\nwait(1)|" + path("p.torvic"));
    rig.torvic.onSaveClick();  // saved: gone; undone back to the saved text: gone
    EXPECT_TRUE(copiesLeft().empty());
    rig.view.editor = "x";
    rig.torvic.writeRecoveryNow();
    EXPECT_EQ(copiesLeft().size(), 1u);
    rig.view.editor = "beep\r\nwait(1)";
    rig.torvic.onRecoveryTimer();
    rig.torvic.writeRecoveryNow();
    EXPECT_TRUE(copiesLeft().empty());
    rig.view.editor = "y";  // "No guardar": gone, and not written again as the program ends
    rig.torvic.writeRecoveryNow();
    rig.view.saveChoices = {SaveChoice::Discard};
    rig.torvic.onEnd();
    EXPECT_TRUE(rig.view.ended);
    EXPECT_TRUE(copiesLeft().empty());
}

TEST_F(UnsavedWork, ACopyLeftBehindIsOfferedAtTheNextStart) {
    put("p.torvic", "' cafè\nbeep\n");  // UTF-8, LF line ends
    {
        WindowRig before;  // ended from outside with unsaved work
        prepare(before);
        before.torvic.onLoad("\"" + path("p.torvic") + "\"");
        before.view.type("' cafè\r\nmsg(\"→\")");
        ASSERT_TRUE(before.torvic.writeRecoveryNow());
    }
    orphanCopies();
    WindowRig later;  // Més tard (Esc): kept for another start
    prepare(later);
    later.torvic.onLoad("");
    EXPECT_EQ(later.view.titles(), L1252("Recuperació del programa:"));
    EXPECT_NE(later.view.messages[0].text.find(path("p.torvic")), std::string::npos);
    EXPECT_NE(later.view.messages[0].text.find(" a les "), std::string::npos);  // when it was written
    EXPECT_EQ(copiesLeft().size(), 1u);
    WindowRig start;  // Recuperar: the text back, unsaved, under the program's name; the file untouched
    prepare(start);
    start.view.choices = {0};
    start.torvic.onLoad("");
    EXPECT_EQ(start.view.editorTextUtf8(), "' cafè\r\nmsg(\"→\")");
    EXPECT_EQ(start.view.text2Field, path("p.torvic"));
    EXPECT_EQ(start.view.caption.substr(0, 1), "*");
    EXPECT_EQ(read("p.torvic"), "' cafè\nbeep\n");
    start.torvic.onSaveClick();  // asked about nothing: the file is still the one the copy came from
    EXPECT_EQ(start.view.titles(), L1252("Recuperació del programa:"));
    EXPECT_EQ(read("p.torvic"), "' cafè\nmsg(\"→\")\n");  // its line ends kept
    EXPECT_TRUE(copiesLeft().empty());
}

TEST_F(UnsavedWork, DiscardingACopyRemovesItAndANewProgramsCopyKeepsItsName) {
    {
        WindowRig before;
        prepare(before);
        before.torvic.onLoad("");
        before.torvic.onNewProgram();
        before.view.editor = "beep";
        ASSERT_TRUE(before.torvic.writeRecoveryNow());
    }
    orphanCopies();
    WindowRig start;
    prepare(start);
    start.view.choices = {0};
    start.torvic.onLoad("");
    const std::string newName = tmp.path() + conventions::folderSeparator() + "nou_programa.torvic";
    EXPECT_EQ(start.view.editor + "|" + start.view.text2Field, "beep|" + newName);
    ASSERT_TRUE(start.torvic.writeRecoveryNow());  // ended from outside again
    orphanCopies();
    WindowRig discard;
    prepare(discard);
    discard.view.choices = {1};
    discard.torvic.onLoad("");
    EXPECT_EQ(discard.view.editor, "");
    EXPECT_TRUE(copiesLeft().empty());
}

TEST(RecoveryFormat, ReadsBackWhatItWroteAndRefusesOtherFiles) {
    RecoveryContent c;
    c.programName = "/home/u/a%b\nc.torvic";  // a name may hold anything but NUL
    c.programSaved = c.endsWithLineBreak = true;
    c.encoding = TextEncoding::Utf8, c.lineBreak = LineBreak::Lf;
    c.savedSize = 12, c.savedHash = 345, c.diskHash = 99;
    c.fileStamp = FileStamp{1, 2, 3, -4};
    c.text = "line\r\n\r\nlast\n";
    const auto back = parseRecovery(recoveryBytes(c, 1700000000));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->writtenAt, 1700000000);
    EXPECT_EQ(back->content.programName + "|" + back->content.text, c.programName + "|" + c.text);
    EXPECT_TRUE(back->content.programSaved && back->content.endsWithLineBreak);
    EXPECT_TRUE(back->content.encoding == TextEncoding::Utf8 && back->content.lineBreak == LineBreak::Lf);
    EXPECT_EQ(back->content.fileStamp, c.fileStamp);
    EXPECT_EQ(back->content.savedSize + back->content.savedHash + back->content.diskHash, 12u + 345u + 99u);
    for (const char* other : {"", "beep\r\n", "Torvic recovery 1\nname=x\n", "Torvic recovery 1\nwritten=abc\nname=x\n\n"})
        EXPECT_FALSE(parseRecovery(other).has_value()) << other;
}

// Writes handed to the thread never come back after a discard, however they interleave.
TEST(RecoveryCopyThread, ADiscardWinsOverWritesUnderWay) {
    test::TempDir tmp;
    for (int round = 0; round < 200; ++round) {
        RecoveryCopy copy(tmp.path(), 4242);
        RecoveryContent c;
        c.programName = "p";
        c.text = std::string(static_cast<std::size_t>(round) * 1000, 'x');
        copy.writeLater(c);
        if (round % 2) std::this_thread::yield();
        copy.discard();
        copy.settle();
        ASSERT_FALSE(fs::exists(copy.path())) << round;
    }
}

// While keys come the thread's write steps aside; a write at once (a signal)
// never waits for the keys to stop, and the stepped-aside write ends with them.
TEST(RecoveryCopyThread, KeysPauseTheThreadButNeverAWriteAtOnce) {
    test::TempDir tmp;
    RecoveryCopy copy(tmp.path(), 4243);
    std::atomic<bool> typing = true;
    std::thread keys([&] {
        while (typing) {
            copy.noteActivity();
            std::this_thread::yield();
        }
    });
    RecoveryContent c;
    c.programName = "p";
    c.text = std::string(std::size_t(4) << 20, 'x');  // several pieces
    copy.writeLater(c);
    // Its temporary file shows the write begun (and paused, as keys come).
    auto begun = [&] { return !fs::is_empty(tmp.path()); };
    while (!begun()) std::this_thread::yield();
    c.text = "ara";
    EXPECT_TRUE(copy.writeNow(c));
    EXPECT_EQ(parseRecovery(readFileBytes(copy.path()).value_or(""))->content.text, "ara");
    c.text = std::string(std::size_t(3) << 20, 'y');
    copy.writeLater(c);
    typing = false;
    keys.join();
    copy.settle();
    EXPECT_EQ(parseRecovery(readFileBytes(copy.path()).value_or(""))->content.text, c.text);
}

}  // namespace
}  // namespace torvic
