#include "editor/about_box.h"

#include "base/cp1252.h"
#include "base/errors.h"
#include "platform/conventions.h"

namespace torvic {
namespace {

const char* const kTitle = "Torvic";

}  // namespace

AboutBoxPresenter::AboutBoxPresenter(AboutBoxView& view, Platform& platform) : view_(view), platform_(platform) {
    systemInformationPrograms = conventions::systemInformationPrograms;
}

void AboutBoxPresenter::show() {
    onLoad();
    view_.showModal();
}

void AboutBoxPresenter::onLoad() {
    view_.setCaption(std::string("En quant a ") + kTitle);
    view_.setTitle(kTitle);
    view_.setVersion(L1252("Versió ") + std::to_string(kMajor) + "." + std::to_string(kMinor) + "." +
                     std::to_string(kRevision));
    view_.setDescription(L1252(
        "    Torvic és un llenguatge de programació de molt alt nivell. Això significa que és \r\n"
        "molt ràpid d'escriure: cada línia fa una feina sencera.\r\n"
        "    Està pensat per a guions que automatitzen feines repetitives o lentes de fer\r\n"
        "a mà.\r\n"
        "    És una eina pràctica per a qualsevol feina amb l'ordinador, des de la feina\r\n"
        "d'oficina fins al desenvolupament de programari o el lleure, i també automatitza\r\n"
        "processos: per exemple, engegar l'ordinador a una hora, obrir el programa de la\r\n"
        "targeta de televisió, gravar un canal i apagar l'ordinador quan acaba la gravació.\r\n"
        "    Un altre exemple és convertir molts documents: obrir-los un a un, modificar-los\r\n"
        "i guardar-los en un altre format."));
    view_.setDisclaimer(L1252("                         Aquest programa es pot fer servir i copiar lliurement, "
                              "sense cap garantia: qui el fa servir ho fa sota la seva responsabilitat."));
}

void AboutBoxPresenter::StartSysInfo() {
    const std::vector<std::string> programs = systemInformationPrograms();
    if (!programs.empty()) {
        try {
            platform_.startProgram(programs.front(), 1);
            return;
        } catch (const RunTimeError&) {
            // found but not startable: as when there is none
        }
    }
    view_.messageBox(L1252("La información del sistema no está disponible en este momento"), kTitle);
}

const Form<AboutBoxPresenter>& aboutBoxForm() {
    using P = AboutBoxPresenter;
    static const FormControl<P> controls[] = {
        {ControlKind::Icon, "picIcon", "", "", "", {480, 240, 540, 540}},
        // Room for the 24-point line.
        {ControlKind::Label, "lblTitle", "", "", "", {1320, 200, 3165, 560}, nullptr, Bold, 24},
        {ControlKind::Label, "lblVersion", "", "", "", {3360, 480, 2685, 225}, nullptr, Bold},
        {ControlKind::Label, "lblDescription", "", "Descripció de l'aplicació:", "", {240, 960, 3885, 210}},
        {ControlKind::Editor, "Text1", "", "", "", {240, 1200, 6375, 1695}, nullptr, ReadOnly | WordWrap},
        {ControlKind::Line, "", "", "", "", {240, 2985, 6375, 30}},
        // The notice starts with blanks so that its first line begins after
        // "Advertència:", which lies over it.
        {ControlKind::Label, "lblDisclaimer", "", "", "", {240, 3300, 4335, 630}, nullptr, WordWrap},
        {ControlKind::Label, "Label1", "", "Advertència:", "", {270, 3300, 1290, 255}, nullptr, Bold | Overlay},
        // Also the cancel button: Esc closes the box.
        {ControlKind::Button, "cmdOK", "", "Acceptar", "", {5160, 3120, 1500, 345}, &P::onOk, DefaultButton},
        {ControlKind::Button, "cmdSysInfo", "", "&Info. del sistema...", "", {5160, 3555, 1485, 345}, &P::onSystemInfo},
    };
    static const Form<P> form = makeForm<P>("", 6795, 3990, 8.25, controls);
    return form;
}

}  // namespace torvic
