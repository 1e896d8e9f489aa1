#pragma once
// One keyword of the command language: everything about it stands in its
// row, in the file of its family (flow, desktop, system in engine/;
// document, search, lines, ref in textcmd/), and everything else is derived
// from the rows: the dispatcher, the syntax hints, the manual.
#include <span>
#include <string_view>

#include "script/run_context.h"

namespace torvic {

// How a command reads its line and fails, the same for every command:
// - Parameters: `ctx.obtParam({kinds...})` cuts the line into slots, read
//   with `ctx.param(i)`.
// - A fault of the line (a value out of range, a notation that cannot be
//   read, a service of the system that refuses): throw RunTimeError with
//   the reason. The dispatcher shows the syntax-error prompt
//   (`PErrorSintaxi`) with the reason on its second line; Yes goes on with
//   the next line, No ends the run.
// - A check of the command's own with its own words (delinepart's and
//   delinechar's "Aquests parametres han de ser positius."):
//   `ctx.PErrorSintaxi(text)`, the same prompt, and the command returns.
// - A working text with no line break where a line-wise command must cut
//   it: `piecePrompt` (Yes abandons the command and goes on; No ends the run).
// - A file that open or save cannot use: the "Error en comanda OPEN/SAVE"
//   box with the system's reason; the run goes on.
// - A reference ref cannot find, or copy's parameters: the timed report
//   window (`PError`); the command goes on.
struct CommandRow {
    std::string_view keyword;  // lower case, as the dispatcher compares it
    void (*run)(RunContext&);
    std::string_view hint;         // the syntax hint the editor shows (UTF-8)
    std::string_view description;  // what it does, for the manual (UTF-8)
    std::string_view example;      // a line of a script, for the manual (UTF-8)
};

}  // namespace torvic
