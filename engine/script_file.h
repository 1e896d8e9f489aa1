#pragma once
// The script file format: plain 1252 text, one script line per text line.
#include <string>
#include <string_view>

#include "base/files.h"

namespace torvic {

// Editor text of a script file's bytes: a line ends at CR or CR LF (a lone
// LF is an ordinary character), lines are joined with CR LF, and there is no
// line break after the last line.
std::string scriptTextFromBytes(std::string_view bytes);

}  // namespace torvic
