#pragma once
// The script file format (1252 or UTF-8 text, one script line per text
// line), and loading a script into the line table of a run.
#include <map>
#include <string>
#include <string_view>

#include "base/text_encoding.h"
#include "platform/files.h"
#include "script/encoding.h"
#include "script/run_context.h"

namespace torvic {

// The characters code page 1252 cannot hold, by editor line (0-based, every
// CR LF counts): each line's characters once, in UTF-8.
using LinesOutside1252 = std::map<int, std::string>;

// Fills the line table from an editor text, decoding an encoded script
// layer by layer. `outside` says which editor lines hold characters 1252
// cannot (they stand as '?' in the text); the entries they fill are marked
// in `run.outside1252`. A script with more non-empty lines than the table
// can hold, or an encoded one whose header gives no key length (its length
// character below 30), is refused and the table is left as it was.
enum class LoadResult { Loaded, TooManyLines, UnreadableHeader };

// Which editor lines are script lines: each non-empty one is an entry of the
// table, numbered from 0 (blanks count: the run reports such a line). An
// encoded script's lines are entries only once it is decoded.
inline bool isScriptLine(std::size_t lengthWithoutBreak) { return lengthWithoutBreak > 0; }
inline bool isEncodedScript(std::string_view firstLine) { return firstLine.starts_with(kEncodedMarker); }

// How the dispatcher takes a line (blanks around it do not count): a command
// by its keyword, a comment (' or / first) that runs silently, or a line it
// reports as incorrect and passes over. Which keywords exist is the engine's
// table (see lineKind there).
enum class LineKind { Command, Comment, Unrecognised };
inline bool isCommentLine(std::string_view trimmed) {
    return !trimmed.empty() && (trimmed[0] == '\'' || trimmed[0] == '/');
}
LoadResult loadLines(RunContext& run, std::string_view editorText, const LinesOutside1252& outside = {});

// The lines of an editor text in UTF-8 (CR LF line breaks) that hold
// characters code page 1252 cannot; none for most scripts.
LinesOutside1252 linesOutside1252(std::string_view editorTextUtf8);

// Characters (UTF-8, as utf8To1252 collects them) named for a 1252
// message: "U+2192 U+0151".
std::string characterCodes(std::string_view charactersUtf8);

// Editor text of a script file's bytes: a line ends at CR or CR LF (a lone
// LF is an ordinary character), lines are joined with CR LF, and there is no
// line break after the last line. A file with no CR at all whose lines end
// with LF (what most editors on Linux write) has its LFs read as line ends;
// `readLineFeeds`, when given, says whether that happened. An encoded script
// is never split: its bytes are the key's.
std::string scriptTextFromBytes(std::string_view bytes, bool* readLineFeeds = nullptr);

// A script file as the editor and the runners read it.
struct ScriptFile {
    // The editor text in code page 1252, '?' standing for each character
    // 1252 cannot hold.
    std::string text;
    // The same text without loss, in UTF-8, for a UTF-8 file; empty for a
    // 1252 one.
    std::string textUtf8;
    TextEncoding encoding = TextEncoding::Ansi;
    bool readLineFeeds = false;  // see scriptTextFromBytes
    bool endsWithLineBreak = false;  // the last line had its line break
};

// A file with the UTF-8 byte-order mark, or valid UTF-8 holding a
// multi-byte sequence, is UTF-8; anything else is 1252. An encoded script
// without the mark is always 1252: its bytes are the key's.
ScriptFile readScriptFile(std::string_view bytes);

// The bytes of a script file for an editor text given in UTF-8 (CR LF line
// breaks), with a line break after the last line when `endsWithLineBreak`.
// With `lineBreak` LF (a file that was read with LF line ends) every CR LF
// is written as LF, unless the text holds a CR of its own: such a file would
// be read back with CR line ends, so it keeps CR LF. In 1252 a character it
// cannot hold would be written as '?': the caller asks first. An encoded
// script written in UTF-8 always gets the byte-order mark, which tells it
// from its 1252 form.
std::string scriptFileBytes(std::string_view editorTextUtf8, TextEncoding encoding, bool endsWithLineBreak = false,
                            LineBreak lineBreak = LineBreak::CrLf);

}  // namespace torvic
