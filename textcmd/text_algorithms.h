#pragma once
// The text-changing algorithms of search, repl, del and deline as pure
// functions over a text. Each builds its result in one pass over the text
// while keeping the step-by-step semantics (counters, cursor, where each
// search starts again).
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "base/text_encoding.h"
#include "textcmd/textcmd_texts.h"

namespace torvic {

// The piece table `trossos`: [begin, end) ranges of the working text.
using PieceTable = std::vector<std::pair<std::size_t, std::size_t>>;

// A change counter as the commands read it: a positive value is the most
// changes to make; 0 becomes -1, and a negative counter sets no limit but
// still counts down in 16 bits.
inline std::int16_t changeCounter(std::int16_t v) { return v == 0 ? -1 : v; }

// The 16-bit counter of repl, del or deline ran out (32768th change from -1).
// Whatever changes the command keeps are already in the text.
class CounterOverflow : public RunTimeError {
public:
    CounterOverflow() : RunTimeError(textcmd_texts::counterOverflow()) {}
};

// Counts one change or one line examined; the 16-bit counter may not go
// below its minimum.
inline void countChange(std::int16_t& counter) {
    if (counter == std::numeric_limits<std::int16_t>::min()) throw CounterOverflow();
    --counter;
}

// Whether `needle` occurs at 0-based `i` of the text `head` followed by
// `tail`. With `foldCase` the text's characters are lower-cased first (the
// needle is given folded).
bool matchesAcross(std::string_view head, std::string_view tail, std::size_t i, std::string_view needle,
                   bool foldCase = false, bool utf8 = false);

inline char byteAt(const std::string& text, std::size_t i) { return text[i]; }

// The (skip + 1)-th occurrence of `needle` at or after `from`, each search
// starting one character after the previous find (in a UTF-8 text a whole
// character on: an empty needle matches everywhere, and a byte on could
// land inside one); npos when there is none.
template <class Text>
std::size_t nthOccurrence(const Text& text, std::string_view needle, std::size_t from, int skip, bool utf8 = false) {
    std::size_t p = text.find(needle, from);
    for (int i = 0; i < skip && p != std::string_view::npos; ++i) {
        std::size_t next = p + 1;
        while (utf8 && next < text.size() && !startsUtf8Character(byteAt(text, next))) ++next;
        p = text.find(needle, next);
    }
    return p;
}

// Texts are code page 1252 bytes, or UTF-8 when `utf8`: then the needles
// are UTF-8 too, case folding goes by characters and counts of characters
// (the piece limit, delinechar's) count characters; positions stay byte
// positions, which the callers convert.

// 1-based position of `find` at or after 1-based `from` in `text`, case
// folded when `ignoreCase`; 0 when none. `from` must be at least 1.
std::size_t findText(std::string_view text, std::string_view find, std::size_t from, bool ignoreCase,
                     bool utf8 = false);

// repl, fast form: replaces at most `limit` occurrences (all when `limit` is
// negative) from the cursor on, left to right, without overlap.
void replaceFast(std::string& text, std::int32_t cursor, std::string_view find, std::string_view replacement,
                 int limit);

// repl, general form (ignore case and/or whole lines). Throws
// CounterOverflow with the changes so far kept in `text`.
void replaceGeneral(std::string& text, std::int32_t cursor, std::string_view find, std::string_view replacement,
                    std::int16_t counter, bool ignoreCase, bool wholeLine, bool utf8 = false);

// del: removes occurrences from the cursor on. Throws CounterOverflow with
// the changes so far kept in `text`.
void deleteText(std::string& text, std::int32_t cursor, std::string_view find, std::int16_t counter,
                bool ignoreCase, bool utf8 = false);

// deline with an empty text: removes the cursor's line and its own line break.
void deleteCursorLine(std::string& text, std::int32_t cursor);

// The piece table: [begin, end) ranges of the text, each ending just after a
// CR LF (but the last), at most 32001 characters long.
enum class CutResult { Ok, NoLineBreak, TooManyPieces };
inline constexpr std::size_t kPieceLimit = 32000;
inline constexpr std::size_t kMaxPieces = 1000;
// `limit` is the piece length past its start (tests use small ones).
CutResult cutIntoPieces(std::string_view text, PieceTable& pieces,
                        std::size_t limit = kPieceLimit, bool utf8 = false);

// deline with a text, applied to the piece table of `text`: every line that
// holds `find` goes with its line break, at most as many as the counter
// allows. Returns the new text and the new cursor. Throws CounterOverflow
// (and then nothing is changed: the caller keeps its text).
struct DelineResult {
    std::string text;
    std::int32_t cursor = 1;
};
DelineResult deleteLinesHolding(std::string_view text, const PieceTable& pieces,
                                std::string_view find, std::int16_t counter, bool ignoreCase, bool utf8 = false);

// delinepart over the piece table: in each line, the stretch from the
// (skipStarts + 1)-th start delimiter of the line to the (skipEnds + 1)-th
// end delimiter after it, both included, when that end delimiter ends in the
// same line; several stretches may go from one line. A line whose chosen end
// delimiter lies in a later line is passed over; a piece in which no chosen
// start or end delimiter exists any more is left as it is from there on.
// Every line examined (once per stretch tried) counts down `counter`. Throws
// CounterOverflow (nothing changed).
std::string removeLineParts(std::string_view text, const PieceTable& pieces,
                            std::string_view startDelimiter, std::string_view endDelimiter, int skipStarts,
                            int skipEnds, std::int16_t counter, bool utf8 = false);

// The same steps on each piece as one string changed in place. removeLineParts
// uses it when the start delimiter holds a CR or a LF, since a removal may then
// take away the line break before a line; otherwise it gives the same result
// line by line, in time bounded by each line instead of each piece.
std::string removeLinePartsInPlace(std::string_view text, const PieceTable& pieces, std::string_view startDelimiter,
                                   std::string_view endDelimiter, int skipStarts, int skipEnds, std::int16_t counter,
                                   bool utf8 = false);

// delinechar: removes `head` characters at the start and `tail` at the end of
// each line longer than head + tail; a shorter line goes with its line break
// (the last line, without one, stays). Every line examined counts down
// `counter`. Throws CounterOverflow (nothing changed).
std::string removeLineEnds(std::string_view text, std::int32_t head, std::int32_t tail, std::int16_t counter,
                           bool utf8 = false);

}  // namespace torvic
