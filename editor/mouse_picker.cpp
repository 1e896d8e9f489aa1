#include "editor/mouse_picker.h"

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/numeric.h"

namespace torvic {

namespace {
constexpr int kPollMs = 200;
}  // namespace

void MousePickerPresenter::show() {
    view_.show();
    // Polling starts again on every showing, so the labels are always live.
    view_.startTimer1(kPollMs);
}

void MousePickerPresenter::onTick() {
    int x = 0, y = 0;
    platform_.cursorPos(x, y);
    view_.setLabels(std::to_string(x), std::to_string(y));
}

void MousePickerPresenter::onFixPosition() {
    std::int32_t x = 0, y = 0;
    try {
        // The leading number of each box, to the nearest integer, halves to even.
        x = toInt32(valorNumeric(view_.text1()));
        y = toInt32(valorNumeric(view_.text2()));
    } catch (const RunTimeError&) {
        view_.messageBox(L1252("Les coordenades han de ser nombres enters entre -2147483648 i 2147483647. "
                               "El ratolí no s'ha mogut."),
                         L1252("Atenció:"));
        return;
    }
    platform_.setCursorPos(x, y);
}

void MousePickerPresenter::onBack() {
    view_.stopTimer1();
    view_.hide();
}

}  // namespace torvic
