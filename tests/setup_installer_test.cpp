// The installer window's behaviour with a fake view and a fake system, on
// temporary folders: the same on every system.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <set>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/conventions.h"
#include "setup/installer.h"
#include "tests/support/scripted_host.h"

namespace torvic::setup {
namespace {

namespace fs = std::filesystem;

struct FakeInstallerView : InstallerView {
    std::string text, notes;
    std::vector<std::string> boxes, opened;  // boxes: "title|text"
    std::deque<bool> answers;
    bool ended = false;
    std::string text1() override { return text; }
    void setText1(const std::string& t) override { text = t; }
    void messageBox(const std::string& t, const std::string& title, MessageIcon) override { boxes.push_back(title + "|" + t); }
    bool askYesNo(const std::string& t, const std::string& title) override {
        return boxes.push_back(title + "|" + t), test::next(answers, false);
    }
    void setNotes(const std::string& libraries, const std::string& uninstalling) override { notes = libraries + "|" + uninstalling; }
    void openManual(const std::string& dir) override { opened.push_back(dir); }
    void endProgram() override { ended = true; }
};

// A system whose registration is a list of the directories it was given.
struct FakeInstallation : Installation {
    std::string source, home;
    std::vector<std::string> registered;
    std::string sourceDirectory() const override { return source; }
    std::string defaultDirectory() const override { return home + sep() + "Torvic" + sep(); }
    InstallNotes notes() const override { return {"libraries", "uninstall", "shared files", "copy by hand"}; }
    bool isAbsoluteDirectory(const std::string& dir) const override { return fs::path(dir).is_absolute(); }
    std::vector<ShippedFile> shippedFiles() const override { return {{"torvic", true}, {"torvic.rtf", true}, {"torvicrun", false}}; }
    void registerInstallation(const std::string& dir) override { registered.push_back(dir); }
    int undone = 0, uninstalled = 0;
    void undoRegistration() override { ++undone; }
    std::string failing;  // the file whose copy into the installation fails half-way
    std::error_code copyFile(const std::string& from, const std::string& to) override {
        if (failing.empty() || from != source + sep() + failing) return Installation::copyFile(from, to);
        std::ofstream(systemPath(to)) << "half";
        return std::make_error_code(std::errc::io_error);
    }
    std::string uninstall() override { return ++uninstalled, "/apps/Torvic/"; }
    static std::string sep() { return std::string(1, conventions::folderSeparator()); }
};

class InstallerTest : public ::testing::Test {
protected:
    InstallerTest() {
        fs::create_directories(tmp / "src");
        for (const std::string name : {"torvic", "torvic.rtf"}) std::ofstream(tmp / ("src/" + name)) << name << " bytes";
        system.source = tmp / "src";
        system.home = tmp / "home";
    }
    test::TempDir tmp;
    FakeInstallation system;
    FakeInstallerView view;
};

// A bad name, or one with a control character (lines of its own in the
// desktop entries), is refused before anything is written.
TEST_F(InstallerTest, TheDirectoryIsCheckedBeforeAnythingIsWritten) {
    const std::string plain = "Error en la instal·lació:|Error en el nom del directori.";
    const std::string control = "Error en la instal·lació:|Error en el nom del directori: no pot contenir caràcters de control";
    const std::pair<std::string, std::string> cases[] = {
        {"", plain}, {"   ", plain}, {"prova/", plain}, {tmp / "a\nExec=evil", control}, {tmp / "del\x7f", control}};
    for (const auto& [bad, box] : cases) {
        FakeInstallerView v;
        InstallerPresenter instalar(v, system);
        v.text = bad;
        instalar.onInstall();
        ASSERT_EQ(v.boxes.size(), 1u) << bad;
        EXPECT_TRUE(v.boxes[0].starts_with(box)) << bad;
        EXPECT_TRUE(system.registered.empty()) << bad;
        EXPECT_FALSE(v.ended);
    }
}

TEST_F(InstallerTest, AnInstallationReportsAndOffersTheManual) {
    InstallerPresenter instalar(view, system);
    instalar.onLoad();
    EXPECT_EQ(view.text, system.defaultDirectory());
    const std::string dir = tmp / "new/deeper/My Apps";  // missing parents are made
    const std::string installed = dir + FakeInstallation::sep();
    view.text = "  " + dir + "  ";
    view.answers = {true};
    instalar.onInstall();
    EXPECT_EQ(view.text, installed);  // trimmed, with its final separator
    EXPECT_EQ(system.registered, std::vector<std::string>{installed});
    ASSERT_EQ(view.boxes.size(), 2u);
    EXPECT_EQ(view.boxes[0], "Instal·lació realitzada amb èxit:|Programa instalat correctament a " + installed);
    EXPECT_EQ(view.opened, std::vector<std::string>{installed});
    EXPECT_TRUE(view.ended);
    // The required files and the companions that are there are copied.
    EXPECT_EQ(readFileBytes(installed + "torvic").value_or("") + "|" + readFileBytes(installed + "torvic.rtf").value_or(""),
              "torvic bytes|torvic.rtf bytes");
    EXPECT_FALSE(fs::exists(installed + "torvicrun"));
    EXPECT_EQ(system.undone, 0);
}

// Every file and folder under `root` with what each file holds.
std::set<std::string> listing(const fs::path& root) {
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        out.insert(e.path().string() + (e.is_directory() ? "/" : "=" + readFileBytes(systemNameOf(e.path())).value_or("?")));
    return out;
}

// A companion whose copy fails keeps the earlier one and leaves no half copy.
TEST_F(InstallerTest, ACompanionThatCannotBeCopiedLeavesWhatWasThere) {
    std::ofstream(tmp / "src/torvicrun") << "new runner";
    fs::create_directories(tmp / "earlier");
    std::ofstream(tmp / "earlier/torvicrun") << "earlier runner";
    system.failing = "torvicrun";
    InstallerPresenter instalar(view, system);
    view.text = tmp / "earlier";
    instalar.onInstall();
    EXPECT_TRUE(view.ended);  // installed all the same
    EXPECT_EQ(readFileBytes(tmp / "earlier/torvicrun").value_or(""), "earlier runner");
    EXPECT_EQ(readFileBytes(tmp / "earlier/torvic").value_or(""), "torvic bytes");
    EXPECT_FALSE(fs::exists(tmp / "earlier/torvicrun.torvic-old"));
    for (const char* name : {"torvicrun", "torvic", "torvic.rtf"}) fs::remove(tmp / ("earlier/" + std::string(name)));
    instalar.onInstall();  // none before it: no half copy stays
    EXPECT_FALSE(fs::exists(tmp / "earlier/torvicrun"));
}

// A file in the folder's way, a shipped file missing, a copy failing over an
// earlier one: every file and the registration taken back, the reason shown.
TEST_F(InstallerTest, AFailedInstallationTakesBackEverythingItDid) {
    std::ofstream(tmp / "in the way") << "mine";
    fs::create_directories(tmp / "earlier");
    std::ofstream(tmp / "earlier/torvic") << "earlier program";
    struct Case { std::string dir; bool rtfMissing; std::string detail; };  // detail: what raised it
    const Case cases[] = {
        {tmp / "in the way", false, "la creació de la carpeta " + tmp / "in the way"},
        {tmp / "in the way/Torvic", false, "la creació de la carpeta " + tmp / "in the way"},
        {tmp / "new/deeper/Torvic", true, "la còpia del fitxer torvic.rtf"},
        {tmp / "earlier", true, "la còpia del fitxer torvic.rtf"},
        {tmp / "earlier", false, "la còpia del fitxer torvic"},  // half-way, over the earlier one
    };
    for (const Case& c : cases) {
        if (c.rtfMissing) fs::rename(tmp / "src/torvic.rtf", tmp / "rtf");
        const auto before = listing(tmp.path());
        FakeInstallerView v;
        v.answers = {true};  // "Voleu més informació de l'error ?"
        InstallerPresenter instalar(v, system);
        v.text = c.dir;
        const int undone = system.undone;
        system.failing = c.rtfMissing || c.dir != tmp / "earlier" ? "" : "torvic";
        instalar.onInstall();
        EXPECT_EQ(listing(tmp.path()), before) << c.dir;
        EXPECT_EQ(system.undone, undone + 1) << c.dir;  // the registration too
        EXPECT_FALSE(v.ended);  // the window stays open
        ASSERT_EQ(v.boxes.size(), 2u) << c.dir;
        EXPECT_TRUE(v.boxes[0].starts_with("Problema en la instal·lació:|ERROR: No s'ha pogut instal·lar."));
        EXPECT_NE(v.boxes[0].find("manualment: \r copy by hand\r\r"), std::string::npos);
        // The reason in the installer's words (the fake system has none).
        EXPECT_NE(v.boxes[1].find(" generat per " + c.detail + "\r"), std::string::npos) << v.boxes[1];
        EXPECT_EQ(v.boxes[1].find("No such"), std::string::npos) << v.boxes[1];
        if (c.rtfMissing) fs::rename(tmp / "rtf", tmp / "src/torvic.rtf");
    }

    FakeInstallerView no;  // No to the question: nothing more is shown
    InstallerPresenter again(no, system);
    no.text = tmp / "in the way";
    again.onInstall();
    EXPECT_EQ(no.boxes.size(), 1u);
    EXPECT_FALSE(no.ended);
}

TEST_F(InstallerTest, TheDirectoryPickerAddsTorvic) {
    struct FakePicker : FolderPickerView {
        FolderPickerPresenter* behaviour = nullptr;
        std::string open;
        int button = 1;  // 1 Acceptar, 2 Cancel·lar, 0 the close box
        void showModal() override { button == 1 ? behaviour->onAccept() : button == 2 ? behaviour->onCancel() : void(); }
        void close() override {}
        std::string openDirectory() override { return open; }
    };
    const char sep = conventions::folderSeparator();
    const auto path = [sep](std::string p) { return std::replace(p.begin(), p.end(), '/', sep), p; };
    const std::tuple<std::string, int, std::string> cases[] = {
        {"/", 1, "/Torvic/"}, {"/opt/", 1, "/opt/Torvic/"}, {"/opt", 2, "/before/"}, {"/opt", 0, "/before/"}};
    for (const auto& [open, button, text1] : cases) {
        FakePicker pickerView;
        FolderPickerPresenter picker(pickerView);
        pickerView.behaviour = &picker;
        pickerView.open = path(open);
        pickerView.button = button;
        InstallerPresenter instalar(view, system, &picker);
        view.text = path("/before/");
        instalar.onBrowse();
        EXPECT_EQ(view.text, path(text1)) << open << " " << button;
    }
}

TEST_F(InstallerTest, RegisterRefusesFoldersItCannotRegister) {
    const std::string dir = tmp / "Torvic" + FakeInstallation::sep();
    EXPECT_EQ(registrationRefusal(system, dir, true), "");
    EXPECT_EQ(registrationRefusal(system, dir, false), dir + " no conté el programa torvic");
    EXPECT_EQ(registrationRefusal(system, "Torvic/", true), "Torvic/ no és una carpeta absoluta");
    EXPECT_NE(registrationRefusal(system, tmp / "a\nExec=evil/", true).find("caràcters de control"), std::string::npos);
    EXPECT_EQ(registrationRefusal(system, tmp / "Lat\xE0/", true),
              "no es pot registrar una carpeta el nom de la qual no és UTF-8");
    EXPECT_EQ(registrationRefusal(system, tmp / "Projectes→2026 项目/", true), "");
    EXPECT_EQ(uninstallReport(""), "El programa Torvic no estava instal·lat.");
}

// (s, n, /quiet and no terminal through the real program: setup_names_e2e.sh.)
TEST_F(InstallerTest, UninstallingWithoutAWindowAsksOnTheTerminalOrNotAtAll) {
    const std::string question = "== Desinstal·lació de Torvic: ==\nVoleu desinstal·lar el programa Torvic ?\n";
    const std::string prompt = "Sí/No [s/n]: ";
    const std::string report = "Programa desinstal·lat de /apps/Torvic/\n";
    struct Case { bool quiet, terminal; std::string typed; int status; std::string out, err; };  // err: the question
    const Case cases[] = {
        {true, true, "n\n", 0, report, ""},  // /quiet: no question, even on a terminal
        {false, true, " Y\n", 0, report, question + prompt},
        {false, true, "sí\n", 0, report, question + prompt},
        {false, true, "what?\n\nN\n", 1, "", question + prompt + prompt + prompt},  // asked again
        {false, true, "what?\ny", 0, report, question + prompt + prompt},
        {false, true, "", 1, "", question + prompt},  // the end of the input is No
    };
    for (const Case& c : cases) {
        FakeInstallation fake;
        std::istringstream in(c.typed);
        std::ostringstream out, err;
        EXPECT_EQ(uninstallWithoutWindow(fake, c.quiet, c.terminal, in, out, err), c.status) << c.typed;
        EXPECT_EQ(fake.uninstalled, c.status == 0 ? 1 : 0) << c.typed;
        EXPECT_EQ(out.str(), c.out) << c.typed;
        EXPECT_EQ(err.str(), c.err) << c.typed;
    }
}

}  // namespace
}  // namespace torvic::setup
