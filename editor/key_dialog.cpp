#include "editor/key_dialog.h"

namespace torvic {

void Codificacio::show() {
    ClauCodificacio.clear();
    CodiDescodi = 0;
    view_.showModal();
}

void Codificacio::choose(std::uint8_t choice) {
    ClauCodificacio = view_.keyText();
    CodiDescodi = choice;
    view_.close();
}

void Codificacio::Command3_Click() {
    ClauCodificacio.clear();
    CodiDescodi = 0;
    view_.close();
}

}  // namespace torvic
