#pragma once
// One keyword of the command language: everything about it stands in its
// row, in the file of its family (flow, desktop, system in engine/;
// document, search, lines, ref in textcmd/), and everything else is derived
// from the rows: the dispatcher, the syntax hints, the manual.
#include <span>
#include <string_view>

#include "script/run_context.h"

namespace torvic {

struct CommandRow {
    std::string_view keyword;  // lower case, as the dispatcher compares it
    void (*run)(RunContext&);
    std::string_view hint;         // the syntax hint the editor shows (UTF-8)
    std::string_view description;  // what it does, for the manual (UTF-8)
    std::string_view example;      // a line of a script, for the manual (UTF-8)
};

}  // namespace torvic
