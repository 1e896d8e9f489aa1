#pragma once
// The program's manual, torvic.rtf and torvic.html: every command of the keyword table with
// its syntax hint, what it does, its parameters and an example, then the
// editor's menus and keys. Built from the keyword table, so it cannot drift
// from the program.
#include <string>

namespace torvic {

// The whole manual as an RTF document (code page 1252).
std::string manualRtf();
// The same manual as an HTML page (UTF-8), for a browser or the help window.
std::string manualHtml();

}  // namespace torvic
