#include "editor/message_window.h"

#include <cstdio>
#include <ctime>

#include "base/cp1252.h"

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
    // a time stamp and the title on one line, then the message, then a blank line.
    std::FILE* f = std::fopen(view_.exportFileName().c_str(), "ab");
    if (!f) {
        view_.messageBox("Error amb el fitxer especificat.");
        return;
    }
    std::string stamp;
    if (timeStamp) {
        stamp = timeStamp();
    } else {
        char buf[32];
        std::time_t t = std::time(nullptr);
        std::strftime(buf, sizeof buf, "%d/%m/%Y %H:%M:%S", std::localtime(&t));  // the window's own thread only
        stamp = buf;
    }
    std::string record = stamp + "  " + titol_ + "\r\n" + missatge_ + "\r\n\r\n";
    bool ok = std::fwrite(record.data(), 1, record.size(), f) == record.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) view_.messageBox("Error amb el fitxer especificat.");
}

}  // namespace torvic
