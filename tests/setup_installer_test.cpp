// The installer window's behaviour with a fake view, on temporary folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "setup/installer.h"
#include "platform/linux/xdg_registration.h"
#include "tests/support/scripted_host.h"

namespace torvic::setup {

using xdg::XdgInstallation;
namespace {

namespace fs = std::filesystem;

struct FakeInstallerView : InstallerView {
    std::string text;
    std::vector<std::string> boxes;  // "title|text"
    std::deque<bool> answers;
    std::vector<std::string> opened;
    bool ended = false;
    std::string text1() override { return text; }
    void setText1(const std::string& t) override { text = t; }
    void messageBox(const std::string& t, const std::string& title, BoxIcon) override { boxes.push_back(title + "|" + t); }
    bool askYesNo(const std::string& t, const std::string& title) override {
        boxes.push_back(title + "|" + t);
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::string notes;
    void setNotes(const std::string& libraries, const std::string& uninstalling) override {
        notes = libraries + "|" + uninstalling;
    }
    void openManual(const std::string& dir) override { opened.push_back(dir); }
    void endProgram() override { ended = true; }
};

class InstallerTest : public ::testing::Test {
protected:
    InstallerTest() {
        fs::create_directories(tmp / "src");
        fs::create_directories(tmp / "Desktop");
        for (const std::string name : {"torvic", "torvic.rtf"}) std::ofstream(tmp / ("src/" + name)) << name << " bytes";
    }
    test::TempDir tmp;
    XdgInstallation system{{tmp / "src", tmp / "home", tmp / "data", tmp / "config", tmp / "Desktop"}};
    FakeInstallerView view;
    std::error_code ec_;
};

TEST_F(InstallerTest, TheDirectoryIsCheckedBeforeAnythingIsWritten) {
    for (const char* bad : {"", "   ", "prova/", "c:prova", "c:\\prova\\", "~/Torvic"}) {
        FakeInstallerView v;
        InstallerPresenter instalar(v, system);
        v.text = bad;
        instalar.onInstall();
        ASSERT_EQ(v.boxes.size(), 1u) << bad;
        EXPECT_EQ(v.boxes[0], "Error en la instal·lació:|Error en el nom del directori.") << bad;
        EXPECT_FALSE(fs::exists(tmp / "data")) << bad;
        EXPECT_FALSE(v.ended);
    }
    // A line feed (or any control character) in the name would write lines
    // of its own choosing into the desktop entries.
    for (const std::string& bad : {tmp / "a\nExec=evil", tmp / "tab\there", tmp / "del\x7f"}) {
        FakeInstallerView v;
        InstallerPresenter instalar(v, system);
        v.text = bad;
        instalar.onInstall();
        ASSERT_EQ(v.boxes.size(), 1u);
        EXPECT_TRUE(v.boxes[0].starts_with("Error en la instal·lació:|Error en el nom del directori: no pot contenir "
                                           "caràcters de control"));
        EXPECT_FALSE(fs::exists(tmp / "data"));
    }
}

TEST_F(InstallerTest, AnInstallationReportsAndOffersTheManual) {
    InstallerPresenter instalar(view, system);
    instalar.onLoad();
    EXPECT_EQ(view.text, tmp / "home/.local/opt/Torvic/");
    EXPECT_EQ(view.notes, system.notes().libraries + "|" + system.notes().uninstalling);
    const std::string dir = tmp / "My Apps";
    view.text = "  " + dir + "  ";
    view.answers = {true};
    instalar.onInstall();
    EXPECT_EQ(view.text, dir + "/");  // trimmed, with its final "/"
    ASSERT_EQ(view.boxes.size(), 2u);
    EXPECT_EQ(view.boxes[0], "Instal·lació realitzada amb èxit:|Programa instalat correctament a " + dir + "/");
    EXPECT_EQ(view.opened, std::vector<std::string>{dir + "/"});
    EXPECT_TRUE(view.ended);
}

TEST_F(InstallerTest, AFailedCopyReportsAndLeavesWhatWasDone) {
    fs::remove(tmp / "src/torvic.rtf");
    InstallerPresenter instalar(view, system);
    view.text = tmp / "target";
    view.answers = {true};  // "Voleu més informació de l'error ?"
    instalar.onInstall();
    ASSERT_EQ(view.boxes.size(), 2u);
    EXPECT_TRUE(view.boxes[0].starts_with("Problema en la instal·lació:|ERROR: No s'ha pogut instal·lar."));
    EXPECT_NE(view.boxes[0].find(system.defaultDirectory() + " i executeu el torvicsetup /register."), std::string::npos);
    EXPECT_TRUE(view.boxes[1].starts_with("Problema amb la instal·lació:|Error # 2 generat per copy_file (torvic.rtf)"));
    EXPECT_FALSE(view.ended);  // the window stays open
    EXPECT_TRUE(fs::exists(tmp / "data/applications/torvic.desktop"));  // done so far, left in place
    EXPECT_TRUE(fs::exists(tmp / "target/torvic"));

    FakeInstallerView no;  // No to the question: nothing more is shown
    InstallerPresenter again(no, system);
    no.text = tmp / "missing/parent/dir";
    again.onInstall();
    EXPECT_EQ(no.boxes.size(), 1u);
    EXPECT_FALSE(no.ended);
}

// Every path under a folder, for before-and-after comparisons.
std::vector<std::string> fileList(const std::string& root) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

TEST_F(InstallerTest, InstallTwiceThenUninstallLeavesHomeAsItWas) {
    // A home without a desktop folder (the installation makes it), with an
    // entry and a mimeapps.list of its own.
    const std::string home = tmp / "home";
    fs::create_directories(home + "/.config");
    fs::create_directories(home + "/.local/share/applications");
    std::ofstream(home + "/.local/share/applications/other.desktop")
        << "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n";
    std::ofstream(home + "/.config/mimeapps.list") << "[Added Associations]\ntext/plain=editor.desktop;\n";
    const std::vector<std::string> before = fileList(home);
    XdgInstallation inHome{{tmp / "src", home, home + "/.local/share", home + "/.config", home + "/Desktop"}};
    for (int round = 0; round < 2; ++round) {  // a second installation over the first
        FakeInstallerView v;
        InstallerPresenter instalar(v, inHome);
        instalar.onLoad();
        v.answers = {false};  // no manual now: the installer still ends
        instalar.onInstall();
        EXPECT_TRUE(v.ended) << round;
        EXPECT_TRUE(v.opened.empty());
        EXPECT_EQ(readFileBytes(home + "/.local/opt/Torvic/torvic").value_or(""), "torvic bytes");
    }
    std::ofstream(home + "/.local/opt/Torvic/notes.txt") << "the user's own";  // stays
    // The default association as a desktop's tool writes it, beside a group
    // of the user's own: the group goes once our line has gone.
    std::ofstream(home + "/.config/mimeapps.list")
        << "[Added Associations]\ntext/plain=editor.desktop;\n[Default Applications]\napplication/x-torvic=torvic.desktop;\n";
    EXPECT_EQ(xdg::installedDirectory(inHome.places().dataHome), home + "/.local/opt/Torvic/");
    EXPECT_EQ(inHome.uninstall(), home + "/.local/opt/Torvic/");
    EXPECT_TRUE(fs::exists(home + "/.local/opt/Torvic/notes.txt"));
    // The parents made for the default directory stay; the rest is as it was.
    fs::remove_all(home + "/.local/opt", ec_);
    EXPECT_EQ(fileList(home), before);
    EXPECT_EQ(readFileBytes(home + "/.config/mimeapps.list").value_or(""),
              "[Added Associations]\ntext/plain=editor.desktop;\n");
}

TEST_F(InstallerTest, TheDirectoryPickerAddsTorvic) {
    struct FakePicker : FolderPickerView {
        FolderPickerPresenter* behaviour = nullptr;
        std::string open = "/";
        int button = 1;  // 1 Acceptar, 2 Cancel·lar, 0 the close box
        void showModal() override {
            if (button == 1) behaviour->onAccept();
            if (button == 2) behaviour->onCancel();
        }
        void close() override {}
        std::string openDirectory() override { return open; }
    };
    struct Case {
        std::string open;
        int button;
        std::string text1;
    } cases[] = {{"/", 1, "/Torvic/"}, {"/opt/", 1, "/opt/Torvic/"}, {"/opt", 2, "/before/"}, {"/opt", 0, "/before/"}};
    for (const Case& c : cases) {
        FakePicker pickerView;
        FolderPickerPresenter picker(pickerView);
        pickerView.behaviour = &picker;
        pickerView.open = c.open;
        pickerView.button = c.button;
        InstallerPresenter instalar(view, system, &picker);
        view.text = "/before/";
        instalar.onBrowse();
        EXPECT_EQ(view.text, c.text1) << c.open << " " << c.button;
    }
}

}  // namespace
}  // namespace torvic::setup
