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

}  // namespace torvic
