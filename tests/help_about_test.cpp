// The help menu (manual, web page) and the about box with fake views.
#include <gtest/gtest.h>

#include <fstream>

#include "base/cp1252.h"
#include "tests/support/fake_views.h"

namespace torvic {
namespace {

TEST(Help, TheManualBesideTheProgramIsOpenedOrPrinted) {
    test::TempDir dir;
    test::WindowRig rig;
    rig.torvic.programDirectory = [&dir] { return dir.path(); };
    rig.torvic.comandes_Click();  // no manual yet
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].text, "El fitxer torvic.rtf no s'ha pogut trobar.");
    EXPECT_EQ(rig.view.messages[0].title, "Error en trobar un fitxer:");
    EXPECT_EQ(rig.view.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(rig.platform.calls.empty());

    std::ofstream(dir / "torvic.rtf") << "{\\rtf1 }";
    rig.torvic.comandes_Click();
    rig.torvic.Ajuda_Imprimir_Click();
    EXPECT_EQ(rig.platform.calls, (std::vector<std::string>{"shell 'open' 0 " + (dir / "torvic.rtf"),
                                                            "shell 'print' 0 " + (dir / "torvic.rtf")}));
}

TEST(Help, TheWebPageIsOfferedFirst) {
    test::WindowRig rig;
    rig.view.answers = {false, true};
    rig.torvic.web_Click();
    EXPECT_TRUE(rig.platform.calls.empty());
    rig.torvic.web_Click();
    EXPECT_EQ(rig.view.messages[0].title, "Web del programa:");
    EXPECT_EQ(rig.view.messages[0].text, std::string(Torvic::kWebAddress) + "\n\rVoleu accedir-hi?");
    EXPECT_EQ(rig.platform.calls, (std::vector<std::string>{std::string("shell 'open' 0 ") + Torvic::kWebAddress}));
}

TEST(About, TextsAndTheSystemInformationProgram) {
    test::WindowRig rig;
    rig.torvic.sobre_Click();
    EXPECT_EQ(rig.aboutView.shows, 1);
    EXPECT_EQ(rig.aboutView.caption, "En quant a Torvic");
    EXPECT_EQ(rig.aboutView.title, "Torvic");
    EXPECT_EQ(rig.aboutView.version, L1252("Versió 1.0.60"));
    EXPECT_TRUE(rig.aboutView.description.starts_with(
        L1252("    Torvic és un llenguatge de programació de molt alt nivell. Això significa que és ")));

    rig.about.findProgram = [](const std::string&) { return std::string(); };
    rig.about.cmdSysInfo_Click();
    EXPECT_EQ(rig.aboutView.boxes,
              std::vector<std::string>{L1252("La información del sistema no está disponible en este momento")});
    rig.about.findProgram = [](const std::string& name) { return name == "kinfocenter" ? "/usr/bin/kinfocenter" : ""; };
    rig.about.cmdSysInfo_Click();
    EXPECT_EQ(rig.platform.calls, (std::vector<std::string>{"exec 1 \"/usr/bin/kinfocenter\""}));
}

}  // namespace
}  // namespace torvic
