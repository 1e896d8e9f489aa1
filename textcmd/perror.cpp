#include "base/cp1252.h"
#include "base/text.h"
#include "textcmd/commands.h"

namespace torvic {

static std::string PErrorText(const TextDocument& doc, std::int16_t liniaerror, const std::string& missatge,
                       const std::string& referencia, const std::string& nomFitxererror) {
    static const std::string refLabel = L1252("La referència que no es pot trobar és: ");
    std::string t;
    t += CRLF;
    t += "Error de sintaxis en la linia: " + decimal(liniaerror);
    t += CRLF;
    t += missatge;
    t += CRLF;
    t += refLabel + referencia;
    t += CRLF;
    t += "Defecte: " + doc.referenciaDefecte + "  Fitxer: " + nomFitxererror;
    return t;
}

void PError(Dialogs& dialogs, const TextDocument& doc, std::int16_t liniaerror, const std::string& missatge,
            const std::string& referencia, const std::string& nomFitxererror) {
    dialogs.ferMissatge(PErrorText(doc, liniaerror, missatge, referencia, nomFitxererror),
                     "TORVIC - Error de sintaxis:", 15);
}

}  // namespace torvic
