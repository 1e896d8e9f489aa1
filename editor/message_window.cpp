#include "editor/message_window.h"

#include <ctime>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "platform/files.h"

namespace torvic {

void MessageWindowPresenter::ferMissatge(const std::string& missatge, const std::string& titol, std::int16_t temps) {
    // After "Acceptar Tots" no message is shown at all, not even for the
    // moment it would take to close itself.
    if (acceptarTots_) return;
    missatge_ = missatge;
    titol_ = titol;
    temps_ = temps;
    open_ = true;
    view_.showModal();
}

void MessageWindowPresenter::onActivate() {
    if (!open_) return;
    if (acceptarTots_) {
        unload();
        return;
    }
    view_.beep();
    view_.setTitle(titol_);
    view_.setMessage(missatge_);
    view_.setSecondsLeft(std::to_string(temps_));
    counting_ = true;
    view_.setPauseCaption("Pausar");
    view_.startTick();
    if (view_.exportChecked() && !view_.exportFileName().empty()) exportMessage();
}

void MessageWindowPresenter::onTick() {
    if (!open_) return;
    if (temps_ < 1) {
        unload();
        return;
    }
    --temps_;
    view_.setSecondsLeft(std::to_string(temps_));
}

void MessageWindowPresenter::onAccept() { unload(); }

void MessageWindowPresenter::onPauseOrContinue() {
    counting_ = !counting_;
    if (counting_) {
        view_.startTick();
        view_.setPauseCaption("Pausar");
    } else {
        view_.stopTick();
        view_.setPauseCaption("Continuar");
    }
}

void MessageWindowPresenter::onCloseProgram() {
    unload();
    if (onEndProgram) onEndProgram();
}

void MessageWindowPresenter::onAcceptAll() {
    acceptarTots_ = true;
    unload();
}

void MessageWindowPresenter::unload() {
    counting_ = false;
    view_.stopTick();
    if (open_) {
        open_ = false;
        view_.close();
    }
}

void MessageWindowPresenter::exportMessage() {
    // Each message is added to the end of the file, never replacing it:
    // a time stamp and the title on one line, then the message, then a blank
    // line, in the encoding the system's own text files are in. The name is
    // typed in 1252 and goes to the system as its name.
    std::string stamp;
    if (timeStamp) {
        stamp = timeStamp();
    } else {
        char buf[32];
        std::time_t t = std::time(nullptr);
        std::strftime(buf, sizeof buf, "%d/%m/%Y %H:%M:%S", std::localtime(&t));  // the window's own thread only
        stamp = buf;
    }
    const std::string record = stamp + "  " + titol_ + "\r\n" + missatge_ + "\r\n\r\n";
    const bool ansi = systemTextEncoding() == TextEncoding::Ansi;
    if (!appendFileBytes(systemName(view_.exportFileName()), ansi ? record : cp1252::toUtf8(record)))
        view_.messageBox("Error amb el fitxer especificat.");
}

const Form<MessageWindowPresenter>& messageWindowForm() {
    using P = MessageWindowPresenter;
    static const FormControl<P> controls[] = {
        {ControlKind::Label, "Label1", "", "", "", {180, 150, 6840, 1950}, nullptr, WordWrap},
        {ControlKind::Label, "Label2", "", "Temps restant:", "", {180, 2250, 1500, 300}},
        {ControlKind::Label, "Label3", "", "Label3", "", {1725, 2250, 900, 300}},
        {ControlKind::Button, "Command1", "", "Acceptar", "", {180, 2700, 1650, 420}, &P::onAccept},
        {ControlKind::Button, "Command2", "", "Pausar", "", {1935, 2700, 1650, 420}, &P::onPauseOrContinue},
        {ControlKind::Button, "Command3", "", "Tancar", "", {3690, 2700, 1650, 420}, &P::onCloseProgram},
        {ControlKind::Button, "Command4", "", "Acceptar Tots", "", {5445, 2700, 1650, 420}, &P::onAcceptAll},
        {ControlKind::CheckBox, "Check1", "", "Exportar a Fitxer:", "", {180, 3240, 2100, 360}},
        // Its initial text, the export file, is the system's (the view's).
        {ControlKind::Field, "Text1", "", "", "", {2325, 3240, 4695, 360}},
    };
    static const Form<P> form = makeForm<P>("", 7200, 3750, 8.25, controls);
    return form;
}

}  // namespace torvic
