#include "editor/key_dialog.h"

#include "base/text_encoding.h"

namespace torvic {

void KeyDialogPresenter::show() {
    ClauCodificacio.clear();
    CodiDescodi = 0;
    refusedCharacters.clear();
    view_.showModal();
}

void KeyDialogPresenter::choose(std::uint8_t choice) {
    // The key's characters are 1252 bytes in the encoded text: one that has
    // none would be lost, so such a key chooses nothing.
    ClauCodificacio = utf8To1252(view_.keyTextUtf8(), &refusedCharacters);
    CodiDescodi = choice;
    if (!refusedCharacters.empty()) {
        ClauCodificacio.clear();
        CodiDescodi = 0;
    }
    view_.close();
}

void KeyDialogPresenter::onCancel() {
    ClauCodificacio.clear();
    CodiDescodi = 0;
    view_.close();
}

const Form<KeyDialogPresenter>& keyDialogForm() {
    using P = KeyDialogPresenter;
    // No default button: Enter chooses nothing.
    static const FormControl<P> controls[] = {
        {ControlKind::Label, "Label1", "", "Clau de codificació", "", {180, 150, 4590, 270}},
        {ControlKind::Field, "Text1", "", "", "", {180, 450, 4590, 330}},
        {ControlKind::Button, "Command1", "", "Codificar", "", {180, 1050, 1470, 420}, &P::onEncode},
        {ControlKind::Button, "Command2", "", "Descodificar", "", {1740, 1050, 1470, 420}, &P::onDecode},
        {ControlKind::Button, "Command3", "", "Cancelar", "", {3300, 1050, 1470, 420}, &P::onCancel},
    };
    static const Form<P> form = makeForm<P>("Codificar / Descodificar", 4950, 1650, 8.25, controls);
    return form;
}

}  // namespace torvic
