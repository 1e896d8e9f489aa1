#pragma once
// The key dialog `Codificacio` ("Codificar / Descodificar"): its behaviour
// behind a view. The key and the choice outlive the dialog's closing and
// are read by the main window afterwards.
#include <cstdint>
#include <string>
#include "base/form.h"

namespace torvic {

class KeyDialogView {
public:
    virtual ~KeyDialogView() = default;
    // Shows the dialog modally with an empty key box (at most 225
    // characters) and returns when it has closed.
    virtual void showModal() = 0;
    virtual void close() = 0;
    // The key as typed, in UTF-8.
    virtual std::string keyTextUtf8() = 0;
};

class KeyDialogPresenter {
public:
    explicit KeyDialogPresenter(KeyDialogView& view) : view_(view) {}

    std::string ClauCodificacio;  // code page 1252
    std::uint8_t CodiDescodi = 0;  // 0 nothing chosen, 1 encode, 2 decode
    // A key holding characters 1252 cannot is refused as nothing chosen;
    // these are its characters (UTF-8), for the caller to say why.
    std::string refusedCharacters;

    // Shows the dialog; closing it other than by a button chooses nothing.
    void show();
    void onEncode() { choose(1); }  // Command1_Click "Codificar"
    void onDecode() { choose(2); }  // Command2_Click "Descodificar"
    void onCancel();                // Command3_Click "Cancelar" (Esc)

private:
    void choose(std::uint8_t choice);
    KeyDialogView& view_;
};

const Form<KeyDialogPresenter>& keyDialogForm();

}  // namespace torvic
