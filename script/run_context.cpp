#include "script/run_context.h"

#include "base/cp1252.h"
#include "base/dialogs.h"
#include "base/text.h"

namespace torvic {

const std::string& RunContext::entry(int index) const {
    static const std::string empty;
    if (index < 0 || index >= kTableSize) return empty;
    return linies[static_cast<std::size_t>(index)];
}

std::string RunContext::keywordOf(std::string_view line) {
    std::size_t p = line.find('(');
    return toLower1252(trimBlanks(line.substr(0, p)));
}

void RunContext::endRunHere() {
    liniaActual = nombreLinies;
    advanceAfterLine = false;
}

void RunContext::skipToNextOfSameKeyword() {
    // Called by a command, so the current entry has one.
    const CommandRow* keyword = commands[static_cast<std::size_t>(liniaActual)];
    for (int i = liniaActual + 1; i <= nombreLinies && i < kTableSize; ++i) {
        if (commands[static_cast<std::size_t>(i)] == keyword) {
            liniaActual = static_cast<std::int16_t>(i - 1);  // the common advance lands on it
            return;
        }
    }
    liniaActual = nombreLinies;  // the common advance lands past the script: the run ends
}

void RunContext::PErrorSintaxi(std::string missatge) {
    static const std::string head = L1252("Error de Sintaxi a la línia: ");
    static const std::string question = L1252("Continuar amb l'execució a la següent linia?");
    // A text of the caller's own follows an empty line; otherwise the
    // line's own reason, when it has one, stands on the second line.
    if (!missatge.empty())
        missatge = "\r" + missatge;
    else
        missatge = lastError;
    std::string text = head + decimal(liniaActual) + "\r" + missatge + "\r" + question;
    if (dialogs.askYesNo(text, "Torvic")) {
        ++liniaActual;
    } else {
        liniaActual = nombreLinies;
        endedByNo = true;
    }
    advanceAfterLine = false;
}

}  // namespace torvic
