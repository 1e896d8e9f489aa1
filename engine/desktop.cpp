// Process, window and input commands: exec, execdoc, send, focu, msg, mouse,
// ifmouse.
#include <cmath>

#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "engine/commands.h"
#include "engine/engine_texts.h"
#include "base/dialogs.h"
#include "platform/platform.h"

namespace torvic {

using enum ParamKind;

namespace {

// A script cannot write a double quote inside a quoted text, so a path with
// blanks is written between "<" and ">".
void anglesToQuotes(std::string& s) {
    for (char& c : s)
        if (c == '<' || c == '>') c = '"';
}

}  // namespace

static void cmdExec(RunContext& ctx) {
    ctx.obtParam({Text, Plain, Plain});
    std::string& program = ctx.param(0);
    anglesToQuotes(program);
    std::string mode = std::string(trimBlanks(ctx.param(1)));
    if (mode.empty()) mode = "1";
    int windowMode = toInt16(valorNumeric(mode));
    double id = valorNumeric(ctx.param(2));
    if (id > 0) {
        std::int16_t slot = toInt16(id);
        if (slot > 15) throw RunTimeError(engine_texts::slotAbove15(slot));
        ctx.idsPrograma[static_cast<std::size_t>(slot)] = ctx.platform.startProgram(program, windowMode);
    } else {
        ctx.platform.startProgram(program, windowMode);
    }
}

static void cmdExecdoc(RunContext& ctx) {
    ctx.obtParam({Text, Plain, Plain});
    anglesToQuotes(ctx.param(0));
    std::int16_t style = toInt16(valorNumeric(ctx.param(1)));
    std::uint8_t funcio = toByte(valorNumeric(ctx.param(2)));
    ExecutarDocument(ctx.platform, ctx.param(0), style, funcio);
}

long ExecutarDocument(Platform& platform, const std::string& strURL, std::int16_t iWindowStyle,
                      std::uint8_t nFuncio) {
    const char* verb = nFuncio == 1 ? "open" : nFuncio == 2 ? "print" : nFuncio == 3 ? "explore" : "";
    return platform.shellExecute(verb, strURL, iWindowStyle);
}

static void cmdSend(RunContext& ctx) {
    ctx.obtParam({Text, Plain});
    ctx.platform.sendKeys(ctx.param(0), valorNumeric(ctx.param(1)) != 0);
}

static void cmdFocu(RunContext& ctx) {
    ctx.obtParam({Plain});
    std::int16_t slot = toInt16(valorNumeric(ctx.param(0)));
    if (slot < 0 || slot > 15) throw RunTimeError(engine_texts::slotOutside(slot));
    ctx.platform.activateProcess(ctx.idsPrograma[static_cast<std::size_t>(slot)]);
}

static void cmdMsg(RunContext& ctx) {
    ctx.obtParam({Escaped, Plain, Escaped});
    double style = valorNumeric(ctx.param(1));
    MessageIcon icon = MessageIcon::None;
    bool systemModal = false;
    if (style == 1 || style == 5) icon = MessageIcon::Information;
    if (style == 2 || style == 6) icon = MessageIcon::Exclamation;
    if (style == 3 || style == 7) icon = MessageIcon::Critical;
    if (style >= 4 && style <= 7 && style == std::floor(style)) systemModal = true;
    const std::string& title = ctx.param(2);
    ctx.dialogs.messageBox(ctx.param(0), title.empty() ? "Torvic" : title, icon, systemModal);
}

static void cmdMouse(RunContext& ctx) {
    ctx.obtParam({Plain, Plain, Plain, Plain, Plain, Plain});
    const std::string& sx = ctx.param(0);
    const std::string& sy = ctx.param(1);
    double left = valorNumeric(ctx.param(2));
    double middle = valorNumeric(ctx.param(3));
    double right = valorNumeric(ctx.param(4));

    // A double click runs the line twice; the "==" mark tells the passes apart.
    std::string& line = ctx.currentLine();
    bool doubleClick = left == 2 || middle == 2 || right == 2;
    bool secondPass = doubleClick && line.ends_with("==");
    if (doubleClick && !secondPass) {
        line += "==";
        --ctx.liniaActual;
    }

    std::uint32_t flags = 0;
    auto button = [&flags](double code, std::uint32_t down, std::uint32_t up) {
        if (code == 1 || code == 2) flags |= down | up;
        if (code == 3) flags |= up;
    };
    button(left, mouseflag::LeftDown, mouseflag::LeftUp);
    button(middle, mouseflag::MiddleDown, mouseflag::MiddleUp);
    button(right, mouseflag::RightDown, mouseflag::RightUp);
    std::int32_t data = toInt32(valorNumeric(ctx.param(5)));

    auto contains = [](const std::string& s, char c) { return s.find(c) != std::string::npos; };
    if (contains(sx, '%') || contains(sy, '%')) {
        auto percent = [](const std::string& s) {
            double v = valorNumeric(std::string_view(s).substr(0, s.find('%')));
            return toInt32(std::floor(65535 * v / 100));
        };
        ctx.platform.mouseEvent(flags | mouseflag::Move | mouseflag::Absolute, percent(sx), percent(sy), data);
    } else if (contains(sx, '-') || contains(sx, '+') || contains(sy, '-') || contains(sy, '+')) {
        std::int32_t dx = toInt32(valorNumeric(sx)), dy = toInt32(valorNumeric(sy));
        if (dx != 0 || dy != 0)
            ctx.platform.mouseEvent(flags | mouseflag::Move, dx, dy, data);
        else
            ctx.platform.mouseEvent(flags, 0, 0, data);
    } else {
        ctx.platform.setCursorPos(toInt32(valorNumeric(sx)), toInt32(valorNumeric(sy)));
        ctx.platform.mouseEvent(flags, 0, 0, data);
    }
    // A wheel value turns the wheel where the pointer is.
    if (data != 0) ctx.platform.mouseEvent(mouseflag::Wheel, 0, 0, data);

    // After the second pass the mark goes, so the next run of this line
    // (in a loop) double-clicks again.
    if (secondPass) line.resize(line.size() - 2);
}

static void cmdIfmouse(RunContext& ctx) {
    ctx.obtParam({Plain, Plain, Plain, Plain});
    int px = 0, py = 0;
    ctx.platform.cursorPos(px, py);
    const std::string &x1 = ctx.param(0), &y1 = ctx.param(1), &x2 = ctx.param(2), &y2 = ctx.param(3);
    bool inside = true;
    if (x1.empty() || y1.empty()) {
        inside = true;
    } else if (x2.empty() && y2.empty()) {
        inside = px == valorNumeric(x1) && py == valorNumeric(y1);
    } else if (!x2.empty() && !y2.empty()) {
        inside = valorNumeric(x1) <= px && px <= valorNumeric(x2) && valorNumeric(y1) <= py && py <= valorNumeric(y2);
    }
    if (!inside) ctx.skipToNextOfSameKeyword();
}


std::span<const CommandRow> desktopCommands() {
    static const CommandRow rows[] = {
    {"exec", cmdExec, "exec(\"programa\",mode,id_programa)",
     "Engega un programa amb el mode de finestra (0 amagada, 1 normal, 2 minimitzada, 3 maximitzada, 4 normal sense focus, 6 minimitzada sense focus) i en desa l'identificador a id_programa (1 a 15).",
     "exec(\"gedit\",1,3)"},
    {"execdoc", cmdExecdoc, "execdoc(\"document\",mode,funcio)",
     "Obre (funcio 1), imprimeix (2) o explora (3) un document amb el programa que el sistema hi té associat.",
     "execdoc(\"informe.pdf\",1,1)"},
    {"send", cmdSend, "send(\"text_a_enviar\",esperar)",
     "Tecleja el text a la finestra activa. Entre claus s'hi escriuen tecles: {ENTER}, {F4}, {LEFT 3}; + és majúscules, ^ control, % alt i ~ retorn. Amb esperar diferent de 0 espera que s'hagin processat.",
     "send(\"Hola{ENTER}\",1)"},
    {"focu", cmdFocu, "focu(id_program)",
     "Porta al davant la finestra del programa engegat amb aquest identificador.",
     "focu(3)"},
    {"msg", cmdMsg, "MSG(\"Text per mostrar\",tipus_missatge,\"Titol\")",
     "Mostra un missatge amb un sol botó, el D'acord del sistema, i el títol indicat; tipus_missatge 1 hi posa la icona d'informació, 2 la d'exclamació i 3 la d'error. L'execució continua quan es tanca.",
     "msg(\"Còpia\\nacabada\",1,\"Avís\")"},
    {"mouse", cmdMouse, "mouse(x,y,esquerra,central,dret,moviment_de_roda)",
     "Mou el punter a x,y (en píxels, en % de la pantalla, o relatiu amb + i -) i prem els botons: 1 clic, 2 doble clic, 3 deixar anar. El darrer paràmetre fa girar la roda.",
     "mouse(100,200,1)"},
    {"ifmouse", cmdIfmouse, "ifmouse(x1,y1,x2,y2)",
     "Executa les línies fins al següent ifmouse només si el punter és dins del rectangle.",
     "ifmouse(0,0,100,100)"},
    };
    return rows;
}

}  // namespace torvic
