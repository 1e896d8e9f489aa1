#include "editor/replace_dialog.h"

#include <limits>

#include "base/numeric.h"

namespace torvic {

void ReplaceDialogPresenter::onActivate() {
    view_.setFindText(view_.clipboardText());
    view_.selectAllFindText();
}

void ReplaceDialogPresenter::onReplace() {
    pTexte1 = view_.findText();
    pTexte2 = view_.replacementText();
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

}  // namespace torvic
