#pragma once
// The working text that scripts edit, its cursor and the default reference
// prefix. Kept for the life of the program, across runs.
#include <cstdint>
#include <string>

#include "base/dialogs.h"

namespace torvic {

struct TextDocument {
    std::string textTreball;         // the whole document, CR LF line breaks
    std::int32_t posTreball = 0;     // 1-based cursor
    std::string referenciaDefecte;   // prefix put before every reference key
};

// The reference-error report: builds its text and shows it in the timed
// message window for 15 seconds.
void PError(Dialogs& dialogs, const TextDocument& doc, std::int16_t liniaerror, const std::string& missatge,
            const std::string& referencia, const std::string& nomFitxererror);

// The report text of PError.
std::string PErrorText(const TextDocument& doc, std::int16_t liniaerror, const std::string& missatge,
                       const std::string& referencia, const std::string& nomFitxererror);

}  // namespace torvic
