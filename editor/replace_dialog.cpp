#include "editor/replace_dialog.h"

#include <limits>

#include "base/numeric.h"

namespace torvic {

void ReplaceDialogPresenter::onActivate() {
    view_.setFindTextUtf8(view_.clipboardTextUtf8());
    view_.selectAllFindText();
}

void ReplaceDialogPresenter::onReplace() {
    pTexte1 = view_.findTextUtf8();
    pTexte2 = view_.replacementTextUtf8();
    pVegadesValid = true;
    try {
        pVegades = toInt16(valorNumeric(view_.countText()));
    } catch (const std::exception&) {
        pVegades = 0;
        pVegadesValid = false;
    }
    pnoPrincipi = view_.onlyAfterCaret();
    view_.close();
}

const Form<ReplaceDialogPresenter>& replaceDialogForm() {
    using P = ReplaceDialogPresenter;
    static const FormControl<P> controls[] = {
        {ControlKind::Label, "Label1", "", "Buscar:", "", {150, 300, 675, 255}},
        {ControlKind::Field, "Text1", "", "", "", {825, 240, 6120, 285}},
        {ControlKind::Label, "Label2", "", "Substituir", "", {90, 900, 840, 255}},
        {ControlKind::Field, "Text2", "", "", "", {825, 855, 6135, 285}},
        {ControlKind::Button, "Command1", "", "Substituir", "", {5835, 1485, 1185, 390}, &P::onReplace},
        // Up to the count field, so that both lines fit.
        {ControlKind::Label, "Label3", "", "Num. màxim\nsubstitucions", "", {60, 1410, 1005, 390}},
        {ControlKind::Field, "Text3", "", "-1", "", {1080, 1485, 615, 285}, nullptr, RightAligned},
        {ControlKind::CheckBox, "Check1", "", "Només a partir de la posició actual", "", {2265, 1470, 3240, 300}},
    };
    static const Form<P> form = makeForm<P>("Substituir", 7185, 1935, 8.25, controls);
    return form;
}

}  // namespace torvic
