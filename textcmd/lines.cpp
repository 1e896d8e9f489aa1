// The line commands: deline, delinepart, delinechar.
#include <algorithm>
#include <limits>

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "base/text_encoding.h"
#include "textcmd/commands.h"
#include "textcmd/text_algorithms.h"

namespace torvic {

using enum ParamKind;
namespace {

constexpr std::size_t npos = std::string_view::npos;

// The bytes of a text's first character.
std::size_t firstCharacterLength(std::string_view text, bool utf8) {
    return utf8 && !text.empty() ? std::max<std::size_t>(1, utf8SequenceLength(text, 0)) : 1;
}

// One piece being changed line by line: the lines already done, the current
// line (starting with the CR LF before it), and the untouched rest of the
// piece. Positions are counted from the start of the current line.
class PieceLines {
public:
    explicit PieceLines(std::string_view piece) : src_(piece) { loadLine(); }

    const std::string& line() const { return line_; }
    std::size_t size() const { return line_.size() + (src_.size() - rest_); }

    // First occurrence of `needle` at or after `from`, or npos.
    std::size_t find(std::string_view needle, std::size_t from) const {
        if (from < line_.size()) {
            std::size_t r = line_.find(needle, from);
            if (r != npos) return r;
            // Occurrences that begin in the line and end in the rest.
            const std::string_view rest = src_.substr(rest_);
            std::size_t first = line_.size() + 1 > needle.size() ? line_.size() + 1 - needle.size() : 0;
            for (std::size_t i = std::max(first, from); i < line_.size(); ++i)
                if (matchesAcross(line_, rest, i, needle)) return i;
            from = line_.size();
        }
        std::size_t r = src_.find(needle, rest_ + (from - line_.size()));
        return r == npos ? npos : r - rest_ + line_.size();
    }

    // Makes the line that holds `pos` current; returns `pos` counted from it.
    std::size_t moveTo(std::size_t pos) {
        while (pos >= line_.size() && rest_ < src_.size()) {
            pos -= line_.size();
            done_ += line_;
            loadLine();
        }
        return pos;
    }

    // Removes characters of the current line. When that joins a CR and a LF
    // into a new line break, the line ends there and the rest becomes the
    // current line; returns by how much positions moved back then.
    std::size_t erase(std::size_t from, std::size_t count) {
        line_.erase(from, count);
        if (from >= 1 && from < line_.size() && line_[from - 1] == '\r' && line_[from] == '\n') {
            done_.append(line_, 0, from - 1);
            line_.erase(0, from - 1);
            return from - 1;
        }
        return 0;
    }

    std::string finish() {
        done_ += line_;
        done_.append(src_.substr(rest_));
        return std::move(done_);
    }

private:
    // The next line: its leading CR LF and its characters up to the next CR LF.
    void loadLine() {
        std::size_t next = src_.find(CRLF, rest_ + 2);
        std::size_t end = next == npos ? src_.size() : next;
        line_.assign(src_.substr(rest_, end - rest_));
        rest_ = end;
    }

    std::string_view src_;
    std::size_t rest_ = 0;
    std::string line_;
    std::string done_;
};

}  // namespace

std::string removeLinePartsInPlace(std::string_view text, const PieceTable& pieces, std::string_view sd,
                                   std::string_view ed, int skipStarts, int skipEnds, std::int16_t counter, bool utf8) {
    const std::size_t firstChar = firstCharacterLength(sd, utf8);
    std::string result;
    std::string piece;
    for (const auto& [begin, end] : pieces) {
        piece.assign(CRLF);
        piece.append(text.substr(begin, end - begin));
        std::size_t found = piece.find(sd);
        while (found != npos && counter != 0) {
            countChange(counter);
            std::size_t lineStart = piece.rfind(CRLF, found);
            if (lineStart == npos) lineStart = 0;
            std::size_t lineEnd = piece.find(CRLF, lineStart + 2);
            if (lineEnd == npos) lineEnd = piece.size();
            std::size_t start = nthOccurrence(piece, sd, lineStart, skipStarts);
            if (start == npos || start + firstChar == piece.size()) break;
            if (start >= lineEnd) {
                found = start;
                continue;
            }
            std::size_t stop = nthOccurrence(piece, ed, start + sd.size(), skipEnds);
            if (stop == npos) break;
            if (stop + ed.size() > lineEnd) {
                found = piece.find(sd, lineEnd);
                continue;
            }
            piece.erase(start, stop + ed.size() - start);
            found = piece.find(sd, start);
        }
        // A delimiter may have taken the added CR LF away: at most two characters go.
        result.append(std::string_view(piece).substr(utf8 ? utf8Advance(piece, 0, 2) : std::min<std::size_t>(2, piece.size())));
    }
    return result;
}

std::string removeLineParts(std::string_view text, const PieceTable& pieces,
                            std::string_view startDelimiter, std::string_view endDelimiter, int skipStarts,
                            int skipEnds, std::int16_t counter, bool utf8) {
    if (startDelimiter.empty()) return std::string(text);  // nothing to look for
    if (startDelimiter.find_first_of("\r\n") != npos)
        return removeLinePartsInPlace(text, pieces, startDelimiter, endDelimiter, skipStarts, skipEnds, counter, utf8);
    const std::size_t firstChar = firstCharacterLength(startDelimiter, utf8);
    std::string result;
    result.reserve(text.size());
    std::string piece;
    for (const auto& [begin, end] : pieces) {
        piece.assign(CRLF);
        piece.append(text.substr(begin, end - begin));
        PieceLines lines(piece);
        std::size_t found = lines.find(startDelimiter, 0);
        while (found != npos && counter != 0) {
            countChange(counter);
            lines.moveTo(found);
            // Delimiters are counted from the CR LF before the line.
            std::size_t start = nthOccurrence(lines, startDelimiter, 0, skipStarts);
            if (start == npos || start + firstChar == lines.size()) break;  // the piece is given up
            if (start >= lines.line().size()) {
                found = start;  // the chosen delimiter is in a later line: examine that line
                continue;
            }
            std::size_t stop = nthOccurrence(lines, endDelimiter, start + startDelimiter.size(), skipEnds);
            if (stop == npos) break;
            std::size_t stretchEnd = stop + endDelimiter.size();
            if (stretchEnd > lines.line().size()) {
                found = lines.find(startDelimiter, lines.line().size());  // pass the line over
                continue;
            }
            start -= lines.erase(start, stretchEnd - start);
            found = lines.find(startDelimiter, start);
        }
        std::string changed = lines.finish();
        result.append(std::string_view(changed).substr(2));
    }
    return result;
}

std::string removeLineEnds(std::string_view text, std::int32_t head, std::int32_t tail, std::int16_t counter,
                           bool utf8) {
    // Pieces end at line breaks, so taking the lines of the whole text in
    // order gives the same result as taking them piece by piece.
    std::string out;
    out.reserve(text.size());
    const std::size_t a = static_cast<std::size_t>(head), z = static_cast<std::size_t>(tail);
    std::size_t p = 0;
    for (;;) {
        std::size_t br = text.find(CRLF, p);
        std::size_t lineEnd = br == npos ? text.size() : br;
        if (counter == 0) break;
        countChange(counter);
        const std::string_view line = text.substr(p, lineEnd - p);
        const std::size_t len = utf8 ? utf8Length(line) : line.size();
        if (len > a + z) {
            if (utf8) {
                const std::size_t from = utf8Advance(line, 0, a);
                out.append(line.substr(from, utf8Advance(line, from, len - a - z) - from));
            } else {
                out.append(line.substr(a, len - a - z));
            }
            if (br != npos) out.append(CRLF);
        } else if (br == npos) {
            out.append(line);  // the last line, too short: kept
        }
        if (br == npos) {
            p = text.size();
            break;
        }
        p = br + 2;
    }
    out.append(text.substr(p));
    return out;
}

namespace {

bool negativeCounts(RunContext& ctx, double a, double b) {
    if (a >= 0 && b >= 0) return false;
    std::string m = "Aquests parametres han de ser positius.";
    ctx.PErrorSintaxi(m);
    return true;
}

}  // namespace

static void cmdDelinepart(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball.empty()) return;
    ctx.obtParam({Escaped, Escaped, Plain, Plain, Plain});
    double c1 = valorNumeric(ctx.param(2)), c2 = valorNumeric(ctx.param(3));
    if (negativeCounts(ctx, c1, c2)) return;
    std::int16_t skipStarts = toInt16(c1), skipEnds = toInt16(c2);
    std::int16_t counter = changeCounter(toInt16(valorNumeric(ctx.param(4))));
    PieceTable pieces;
    if (!cutForCommand(doc, pieces, ctx)) return;
    doc.posTreball = 1;
    doc.textTreball = removeLineParts(doc.textTreball, pieces, doc.fromScript(ctx.param(0)),
                                      doc.fromScript(ctx.param(1)), skipStarts, skipEnds, counter, doc.utf8());
}

static void cmdDelinechar(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball.empty()) return;
    ctx.obtParam({Plain, Plain, Plain});
    std::int32_t head = toInt32(valorNumeric(ctx.param(0)));
    std::int32_t tail = toInt32(valorNumeric(ctx.param(1)));
    if (negativeCounts(ctx, head, tail)) return;
    static const std::string noBreak = L1252("No s'ha trobat canvi de línia en els primers 32000 caracters");
    PieceTable pieces;
    if (!cutForCommand(doc, pieces, ctx, noBreak.c_str())) return;
    std::int16_t counter = changeCounter(toInt16(valorNumeric(ctx.param(2))));
    doc.posTreball = 1;
    doc.textTreball = removeLineEnds(doc.textTreball, head, tail, counter, doc.utf8());
}

static void cmdDeline(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball.empty()) return;
    ctx.obtParam({Escaped, Plain, Plain});
    const std::string find = doc.fromScript(ctx.param(0));
    if (find.empty()) {
        deleteCursorLine(doc.textTreball, doc.bytePosition(doc.posTreball));
        return;
    }
    std::int16_t counter = changeCounter(toInt16(valorNumeric(ctx.param(1))));
    PieceTable pieces;
    if (!cutForCommand(doc, pieces, ctx)) return;
    DelineResult r = deleteLinesHolding(doc.textTreball, pieces, find, counter, flag(ctx.param(2)), doc.utf8());
    doc.textTreball = std::move(r.text);
    doc.posTreball = toInt32(doc.characterPosition(r.cursor));
}


std::span<const CommandRow> linesCommands() {
    static const CommandRow rows[] = {
    {"deline", cmdDeline, "deline(\"text\",num_max,no_discr_majusc_minusc)",
     "Esborra les línies que contenen el text; sense text, la línia del cursor.",
     "deline(\"ERROR\")"},
    {"delinepart", cmdDelinepart, "delinepart(\"delimitador_inic\",\"delimitador_final\",compt1,compt2,maxdel)",
     "Esborra, a cada línia, el tros entre els dos delimitadors (inclosos).",
     "delinepart(\"<\",\">\",0,0,0)"},
    {"delinechar", cmdDelinechar, "delinechar(num_caracters_principi_a_eliminar,num_caracters_final_a_eliminar,maxlínies)",
     "Esborra caràcters del principi i del final de cada línia.",
     "delinechar(2,0,0)"},
    };
    return rows;
}

}  // namespace torvic
