#pragma once
// The script file format: plain 1252 text, one script line per text line.
#include <string>
#include <string_view>

#include "base/files.h"

namespace torvic {

// Editor text of a script file's bytes: a line ends at CR or CR LF (a lone
// LF is an ordinary character), lines are joined with CR LF, and there is no
// line break after the last line. A file with no CR at all whose lines end
// with LF (what most editors on Linux write) has its LFs read as line ends;
// `readLineFeeds`, when given, says whether that happened. An encoded script
// is never split: its bytes are the key's.
std::string scriptTextFromBytes(std::string_view bytes, bool* readLineFeeds = nullptr);

}  // namespace torvic
