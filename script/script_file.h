#pragma once
// The script file format (plain 1252 text, one script line per text line),
// and loading a script into the line table of a run.
#include <string>
#include <string_view>

#include "platform/files.h"
#include "script/run_context.h"

namespace torvic {

// Fills the line table from an editor text, decoding an encoded script
// layer by layer. A script with more non-empty lines than the table can
// hold, or an encoded one whose header gives no key length (its length
// character below 30), is refused and the table is left as it was.
enum class LoadResult { Loaded, TooManyLines, UnreadableHeader };
LoadResult loadLines(RunContext& run, std::string_view editorText);

// Editor text of a script file's bytes: a line ends at CR or CR LF (a lone
// LF is an ordinary character), lines are joined with CR LF, and there is no
// line break after the last line. A file with no CR at all whose lines end
// with LF (what most editors on Linux write) has its LFs read as line ends;
// `readLineFeeds`, when given, says whether that happened. An encoded script
// is never split: its bytes are the key's.
std::string scriptTextFromBytes(std::string_view bytes, bool* readLineFeeds = nullptr);

}  // namespace torvic
