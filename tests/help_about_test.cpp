// The help menu (manual, web page) and the about box with fake views.
#include <gtest/gtest.h>

#include <fstream>

#include "base/cp1252.h"
#include "tests/support/fake_views.h"

namespace torvic {
namespace {

TEST(Help, TheManualBesideTheProgramTheWebPageAndTheSystemInformation) {
    test::TempDir dir;
    test::WindowRig rig;
    rig.torvic.programDirectory = [&dir] { return dir.path(); };
    rig.torvic.comandes_Click();  // no manual yet
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].title + "|" + rig.view.messages[0].text,
              "Error en trobar un fitxer:|El fitxer torvic.rtf no s'ha pogut trobar.");
    std::ofstream(dir / "torvic.rtf") << "{\\rtf1 }";
    rig.torvic.comandes_Click();
    rig.torvic.Ajuda_Imprimir_Click();
    rig.view.answers = {false, true};  // the web page is offered first
    rig.torvic.web_Click();
    rig.torvic.web_Click();
    rig.about.findProgram = [](const std::string& name) { return name == "kinfocenter" ? "/usr/bin/kinfocenter" : ""; };
    rig.about.cmdSysInfo_Click();
    EXPECT_EQ(rig.platform.calls,
              (std::vector<std::string>{"shell 'open' 0 " + (dir / "torvic.rtf"), "shell 'print' 0 " + (dir / "torvic.rtf"),
                                        std::string("shell 'open' 0 ") + Torvic::kWebAddress,
                                        "exec 1 \"/usr/bin/kinfocenter\""}));
    rig.about.findProgram = [](const std::string&) { return std::string(); };
    rig.about.cmdSysInfo_Click();
    EXPECT_EQ(rig.aboutView.boxes,
              std::vector<std::string>{L1252("La información del sistema no está disponible en este momento")});
}

}  // namespace
}  // namespace torvic
