#include "engine/engine.h"

#include <exception>

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "textcmd/commands.h"

namespace torvic {

namespace {
// Adapts a text command to a dispatcher branch.
template <void (*F)(TextDocument&, LineContext&)>
void textBranch(Engine& e) {
    F(e.document, e);
}
}  // namespace

const std::array<Engine::Command, 37> Engine::kCommands = {{
    {"wait", [](Engine& e) { e.cmdWait(); }},
    {"exec", [](Engine& e) { e.cmdExec(); }},
    {"execdoc", [](Engine& e) { e.cmdExecdoc(); }},
    {"send", [](Engine& e) { e.cmdSend(); }},
    {"goto", [](Engine& e) { e.cmdGoto(); }},
    {"focu", [](Engine& e) { e.cmdFocu(); }},
    {"time", [](Engine& e) { e.cmdTime(); }},
    {"date", [](Engine& e) { e.cmdDate(); }},
    {"msg", [](Engine& e) { e.cmdMsg(); }},
    {"mouse", [](Engine& e) { e.cmdMouse(); }},
    {"ifmouse", [](Engine& e) { e.cmdIfmouse(); }},
    {"beep", [](Engine& e) { e.cmdBeep(); }},
    {"stop", [](Engine& e) { e.cmdStop(); }},
    {"end", [](Engine& e) { e.cmdStop(); }},
    {"off", [](Engine& e) { e.cmdOff(); }},
    {"logoff", [](Engine& e) { e.cmdLogoff(); }},
    {"reboot", [](Engine& e) { e.cmdReboot(); }},
    {"standby", [](Engine& e) { e.cmdStandby(); }},
    {"iftime", [](Engine& e) { e.cmdIftime(); }},
    {"ifdate", [](Engine& e) { e.cmdIfdate(); }},
    {"copy", [](Engine& e) { e.cmdCopy(); }},
    {"xcopy", [](Engine& e) { e.cmdXcopy(); }},
    {"open", textBranch<textcmd::cmdOpen>},
    {"repl", textBranch<textcmd::cmdRepl>},
    {"pos", textBranch<textcmd::cmdPos>},
    {"line", textBranch<textcmd::cmdLine>},
    {"search", textBranch<textcmd::cmdSearch>},
    {"write", textBranch<textcmd::cmdWrite>},
    {"del", textBranch<textcmd::cmdDel>},
    {"deline", textBranch<textcmd::cmdDeline>},
    {"delinepart", textBranch<textcmd::cmdDelinepart>},
    {"delinechar", textBranch<textcmd::cmdDelinechar>},
    {"save", textBranch<textcmd::cmdSave>},
    {"oemtoansi", textBranch<textcmd::cmdOemtoansi>},
    {"ansitooem", textBranch<textcmd::cmdAnsitooem>},
    {"def", textBranch<textcmd::cmdDef>},
    {"ref", textBranch<textcmd::cmdRef>},
}};

const std::array<std::string_view, 37>& Engine::keywords() {
    static const std::array<std::string_view, 37> names = [] {
        std::array<std::string_view, 37> a{};
        for (std::size_t i = 0; i < a.size(); ++i) a[i] = kCommands[i].keyword;
        return a;
    }();
    return names;
}

Engine::Engine(Host& host, Platform& platform) : host_(host), platform_(platform) {}

const std::string& Engine::entry(int index) const {
    static const std::string empty;
    if (index < 0 || index >= kTableSize) return empty;
    return linies[static_cast<std::size_t>(index)];
}

std::string Engine::keywordOf(std::string_view line) {
    std::size_t p = line.find('(');
    return toLower1252(trimBlanks(line.substr(0, p)));
}

// ---- loading ---------------------------------------------------------------

Engine::LoadResult Engine::carregarLinies(std::string_view editorText) {
    std::string text(editorText);
    text += CRLF;
    // An encoded script is decoded layer by layer. A layer that does not
    // shrink the text cannot be a real layer; stopping there avoids looping.
    while (decoder.extreuClau && decoder.descodificaText && text.starts_with(kEncodedMarker)) {
        std::string decoded = decoder.descodificaText(decoder.extreuClau(text), text);
        if (decoded.size() >= text.size()) break;
        text = std::move(decoded);
    }

    // Cut into pieces at CR LF; empty pieces are dropped.
    std::array<std::string_view, kTableSize> pieces;
    int n = 0;
    std::size_t p = 0;
    std::string_view t(text);
    while (p + 1 < t.size()) {
        std::size_t b = t.find(CRLF, p);
        if (b == std::string_view::npos) b = t.size();
        if (p < b) {
            if (n >= kMaxScriptLines) return LoadResult::TooManyLines;
            pieces[static_cast<std::size_t>(n++)] = t.substr(p, b - p);
        }
        p = b + 2;
    }
    for (int i = 0; i < kTableSize; ++i) linies[static_cast<std::size_t>(i)].assign(pieces[static_cast<std::size_t>(i)]);
    nombreLinies = static_cast<std::int16_t>(n);
    return LoadResult::Loaded;
}

// ---- run loop and dispatcher ----------------------------------------------

void Engine::autoExecucio() {
    // A timer event that arrives while a line is open in a modal dialog must
    // not start a second loop inside the first.
    if (dinsBucle_) return;
    dinsBucle_ = true;
    for (;;) {
        const std::string& e = entry(liniaActual);
        if (e.empty()) {
            if (executant) finishRun();
            break;
        }
        if (!executant) break;
        host_.showRunLine(liniaActual, e);
        Execucio();
    }
    dinsBucle_ = false;
}

void Engine::finishRun() {
    if (!host_.isMainWindowVisible()) {
        host_.endProgram();
        return;
    }
    setRunButtons(true);
    host_.setText3("Acabat");
    host_.setText4("");
}

void Engine::Execucio() {
    for (auto& slot : parametresLinia) slot.clear();
    if (!ultimError_.empty()) ultimError_.clear();  // the reason shown with a prompt is this line's own
    try {
        std::string& line = linies[static_cast<std::size_t>(liniaActual)];
        std::string_view trimmed = trimBlanks(line);
        if (trimmed.size() != line.size()) line = std::string(trimmed);

        const std::string keyword = keywordOf(line);
        for (const Command& c : kCommands) {
            if (c.keyword == keyword) {
                senseAvanc_ = false;
                c.branch(*this);
                if (!senseAvanc_) ++liniaActual;
                return;
            }
        }
        if (line.empty() || (line[0] != '\'' && line[0] != '/')) reportUnrecognised(line);
        ++liniaActual;
    } catch (const std::exception& e) {
        ultimError_ = e.what();
        std::string missatge;
        PErrorSintaxi(missatge);
    }
}

void Engine::reportUnrecognised(const std::string& line) {
    static const std::string title = "TORVIC - Error de sintaxis:";
    static const std::string tail = L1252("' és incorrecte");
    std::string text = "Error en linia " + decimalWithSign(liniaActual) + ".  La comanda '" + line + tail;
    host_.ferMissatge(text, title, 10);
}

void Engine::endRunHere() {
    liniaActual = nombreLinies;
    senseAvanc_ = true;
}

void Engine::syntaxErrorPrompt(std::string& missatge) {
    PErrorSintaxi(missatge);
    senseAvanc_ = true;
}

void Engine::PErrorSintaxi(std::string& missatge) {
    static const std::string head = L1252("Error de Sintaxi a la línia: ");
    static const std::string question = L1252("Continuar amb l'execució a la següent linia?");
    if (!missatge.empty()) missatge = "\r" + missatge;
    std::string text = head + decimal(liniaActual) + "\r" + missatge + "\r" + question;
    if (host_.askYesNo(text, "Torvic")) {
        ++liniaActual;
    } else {
        liniaActual = nombreLinies;
        acabatPerNo_ = true;
    }
}

// ---- timers ---------------------------------------------------------------

void Engine::Timer1_Timer() {
    host_.stopTimer1();
    executant = true;
    autoExecucio();
}

void Engine::Timer2_Timer() {
    std::string clock = clockText(platform_.now().secondOfDay());
    if (clock.compare(0, 5, horaEspera) != 0 || horaEspera.size() != 5) return;
    host_.stopTimer2();
    executant = true;
    autoExecucio();
}

// ---- run controls ---------------------------------------------------------

void Engine::setRunButtons(bool enabled) {
    botonsExecucio_ = enabled;
    host_.setRunButtonsEnabled(enabled);
}

void Engine::Command3_Click() {
    // The reloaded script starts its own waits; a timer of the previous
    // wait must not resume it a second time.
    host_.stopTimer1();
    host_.stopTimer2();
    setRunButtons(false);
    if (carregarLinies(host_.editorText()) == LoadResult::TooManyLines) {
        host_.messageBox(L1252("El programa té més de 300 línies i no es pot executar."), L1252("Atenció:"),
                         MessageIcon::Exclamation);
        setRunButtons(true);
        return;
    }
    double start = 0;
    try {
        start = valorNumeric(host_.text3());
    } catch (const std::exception&) {
        start = 0;  // a number too large to read: start at the top
    }
    if (start < 0) {
        liniaActual = 0;
    } else if (roundHalfEven(start) > kTableSize) {
        liniaActual = kTableSize;  // past the table: the run ends at once
    } else {
        liniaActual = toInt16(start);
    }
    acabatPerNo_ = false;
    executant = true;
    autoExecucio();
    if (host_.isMainWindowVisible()) host_.focusEditor();
}

void Engine::Command9_Click() {
    host_.setText3("0");
    Command3_Click();
}

void Engine::Command8_Click() {
    host_.hideToNotificationArea();
    Command3_Click();
}

void Engine::Command4_Click() {
    host_.stopTimer1();
    host_.stopTimer2();
    liniaActual = 0;
    setRunButtons(true);
    if (host_.isMainWindowVisible()) host_.focusEditor();
}

void Engine::Command5_Click() { host_.endProgram(); }

}  // namespace torvic
