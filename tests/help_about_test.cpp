// The help menu (manual, printing, the web page) and the about box with fake views.
#include <gtest/gtest.h>

#include <fstream>

#include "base/cp1252.h"
#include "platform/conventions.h"
#include "tests/support/fake_views.h"

namespace torvic {
namespace {

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
