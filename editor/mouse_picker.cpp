#include "editor/mouse_picker.h"

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "editor/editor_texts.h"

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
    try {
        platform_.cursorPos(x, y);
    } catch (const RunTimeError& e) {
        // No way to read the pointer on this desktop: said once, with the
        // reason, and no more polling until the window is shown again.
        view_.stopTimer1();
        view_.setLabels(editor_texts::pickerUnavailable(), editor_texts::pickerUnavailable());
        view_.messageBox(editor_texts::pointerUnavailable(e.what()), editor_texts::pickerTitle());
        return;
    }
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
    try {
        platform_.setCursorPos(x, y);
    } catch (const RunTimeError& e) {
        view_.messageBox(editor_texts::pointerNotMoved(e.what()), L1252("Atenció:"));
    }
}

void MousePickerPresenter::onBack() {
    view_.stopTimer1();
    view_.hide();
}

const Form<MousePickerPresenter>& mousePickerForm() {
    using P = MousePickerPresenter;
    static const FormControl<P> controls[] = {
        {ControlKind::Button, "Command2", "", "Fixar posició", "", {2190, 300, 1410, 420}, &P::onFixPosition, DefaultButton},
        {ControlKind::Button, "Command1", "", "Tornar", "", {2190, 900, 1410, 420}, &P::onBack},
        {ControlKind::Frame, "FrameX", "", "Cordenada X:", "", {120, 120, 1920, 930}},
        {ControlKind::Field, "Text1", "FrameX", "0", "", {120, 360, 900, 360}},
        {ControlKind::Label, "Label1", "FrameX", "", "", {1110, 360, 750, 360}},
        {ControlKind::Frame, "FrameY", "", "Ordenada Y:", "", {120, 1140, 1920, 930}},
        {ControlKind::Field, "Text2", "FrameY", "0", "", {120, 360, 900, 360}},
        {ControlKind::Label, "Label2", "FrameY", "", "", {1110, 360, 750, 360}},
    };
    static const Form<P> form = makeForm<P>("Posició del Ratolí", 3750, 2250, 8.25, controls);
    return form;
}

}  // namespace torvic
