#pragma once
// frmSubstituir: the find and replace dialog. Its four values outlive the
// dialog; closing it without "Substituir" keeps the previous ones. The texts
// to find and put are UTF-8: the editor holds characters code page 1252
// lacks, and they can be replaced or put in too.
#include <cstdint>
#include <string>
#include "base/form.h"

namespace torvic {

class ReplaceDialogView {
public:
    virtual ~ReplaceDialogView() = default;
    // Shows the dialog modally from its design values; returns when closed.
    virtual void showModal() = 0;
    virtual void close() = 0;
    virtual std::string clipboardTextUtf8() = 0;
    virtual void setFindTextUtf8(const std::string& text) = 0;  // Text1
    virtual void selectAllFindText() = 0;
    virtual std::string findTextUtf8() = 0;
    virtual std::string replacementTextUtf8() = 0;  // Text2
    virtual std::string countText() = 0;        // Text3
    virtual bool onlyAfterCaret() = 0;          // Check1
};

class ReplaceDialogPresenter {
public:
    explicit ReplaceDialogPresenter(ReplaceDialogView& view) : view_(view) {}

    void show() { view_.showModal(); }
    void onActivate();  // Form_Activate
    void onReplace();   // Command1_Click "Substituir"

    std::string pTexte1, pTexte2;  // UTF-8
    std::int16_t pVegades = 0;
    bool pnoPrincipi = false;
    // False when the count field held a number outside -32768..32767.
    bool pVegadesValid = true;

private:
    ReplaceDialogView& view_;
};

// The dialog's form; its fields start empty and Text3 at "-1".
const Form<ReplaceDialogPresenter>& replaceDialogForm();

}  // namespace torvic
