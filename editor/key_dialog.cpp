#include "editor/key_dialog.h"

namespace torvic {

void KeyDialogPresenter::show() {
    ClauCodificacio.clear();
    CodiDescodi = 0;
    view_.showModal();
}

void KeyDialogPresenter::choose(std::uint8_t choice) {
    ClauCodificacio = view_.keyText();
    CodiDescodi = choice;
    view_.close();
}

void KeyDialogPresenter::onCancel() {
    ClauCodificacio.clear();
    CodiDescodi = 0;
    view_.close();
}

}  // namespace torvic
