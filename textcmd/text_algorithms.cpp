#include "textcmd/text_algorithms.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "base/cp1252.h"
#include "base/text.h"
#include "base/text_encoding.h"
#include "textcmd/textcmd_texts.h"

namespace torvic {
namespace {

constexpr std::size_t npos = std::string_view::npos;

const std::array<unsigned char, 256>& foldTable() {
    static const std::array<unsigned char, 256> t = [] {
        std::array<unsigned char, 256> a{};
        for (int i = 0; i < 256; ++i) a[i] = lower1252(static_cast<unsigned char>(i));
        return a;
    }();
    return t;
}

inline unsigned char fold(char c) { return foldTable()[static_cast<unsigned char>(c)]; }

// Where a case-folded search stands in one unchanged text: where each byte
// that folds to the needle's first character next occurs. Owned by the
// caller, one per text; the searches made with it never go back.
struct FindCursor {
    std::vector<std::size_t> next;
    bool valid = false;
};

// How two texts are compared: as they are, or with the first case-folded
// (the second is given folded), byte by byte in 1252 or character by
// character in UTF-8.
enum class Fold { None, Ansi, Utf8 };

inline Fold foldFor(bool ignoreCase, bool utf8) {
    return !ignoreCase ? Fold::None : utf8 ? Fold::Utf8 : Fold::Ansi;
}

// Whether two texts of the same length are equal under `how`.
bool sameText(std::string_view text, std::string_view needle, Fold how) {
    switch (how) {
        case Fold::None:
            return text == needle;
        case Fold::Utf8:
            return foldsToUtf8(text, needle);
        case Fold::Ansi:
            break;
    }
    for (std::size_t k = 0; k < needle.size(); ++k)
        if (static_cast<char>(fold(text[k])) != needle[k]) return false;
    return true;
}

// Finds a text exactly or on case-folded forms (both sides lower-cased).
class Finder {
public:
    Finder(std::string_view needle, bool ignoreCase, bool utf8 = false)
        : ignoreCase_(ignoreCase), how_(foldFor(ignoreCase, utf8)) {
        needle_ = how_ == Fold::Utf8 ? toLowerUtf8(needle) : ignoreCase ? toLower1252(needle) : std::string(needle);
        if (how_ == Fold::Ansi && !needle_.empty())
            for (int b = 0; b < 256; ++b)
                if (fold(static_cast<char>(b)) == static_cast<unsigned char>(needle_[0]))
                    firstBytes_.push_back(static_cast<char>(b));
        if (how_ == Fold::Utf8 && !needle_.empty()) {
            // The first bytes of the characters that fold to the needle's
            // first character: the character itself and the capitals of
            // 1252 whose small letter it is.
            const std::string_view first(needle_.data(), std::max<std::size_t>(1, utf8SequenceLength(needle_, 0)));
            firstBytes_.push_back(first[0]);
            for (int b = 0x41; b < 256; ++b) {
                const std::string letter = cp1252::toUtf8(std::string(1, static_cast<char>(b)));
                if (letter[0] != first[0] && letter.size() == first.size() && foldsToUtf8(letter, first) &&
                    std::find(firstBytes_.begin(), firstBytes_.end(), letter[0]) == firstBytes_.end())
                    firstBytes_.push_back(letter[0]);
            }
        }
    }
    std::size_t size() const { return needle_.size(); }

    // 0-based index of the first occurrence at or after `from`, or npos.
    std::size_t find(std::string_view hay, std::size_t from, FindCursor& cursor) const {
        if (!ignoreCase_) return hay.find(needle_, from);
        if (needle_.empty()) return from <= hay.size() ? from : npos;
        if (hay.size() < needle_.size()) return npos;
        const std::size_t last = hay.size() - needle_.size();
        // Candidates are the bytes that fold to the first character (as a
        // rule a letter's two cases), each found with memchr. The cursor keeps
        // the next place of each, so a byte that never occurs is not searched
        // for again and again.
        const std::size_t kinds = firstBytes_.size();
        if (!cursor.valid) {
            cursor.next.assign(kinds, 0);
            for (std::size_t k = 0; k < kinds; ++k) cursor.next[k] = locate(hay, firstBytes_[k], from);
            cursor.valid = true;
        }
        for (std::size_t pos = from; pos <= last;) {
            std::size_t cand = npos;
            for (std::size_t k = 0; k < kinds; ++k) {
                if (cursor.next[k] < pos) cursor.next[k] = locate(hay, firstBytes_[k], pos);
                cand = std::min(cand, cursor.next[k]);
            }
            if (cand == npos || cand > last) return npos;
            if (sameText(hay.substr(cand, needle_.size()), needle_, how_)) return cand;
            pos = cand + 1;
        }
        return npos;
    }

    // Match at `i` of a text held as `head` followed by `tail`.
    bool matchesAt(std::string_view head, std::string_view tail, std::size_t i) const {
        return matchesAcross(head, tail, i, needle_, ignoreCase_, how_ == Fold::Utf8);
    }

private:
    static std::size_t locate(std::string_view hay, char c, std::size_t from) {
        if (from >= hay.size()) return npos;
        const void* p = std::memchr(hay.data() + from, c, hay.size() - from);
        return p ? static_cast<std::size_t>(static_cast<const char*>(p) - hay.data()) : npos;
    }

    std::string needle_;
    bool ignoreCase_;
    Fold how_;
    std::vector<char> firstBytes_;  // bytes that fold to the needle's first character
};

void requireCursor(std::int32_t cursor) {
    if (cursor < 1) throw RunTimeError(textcmd_texts::cursorBeforeStart());
}

}  // namespace

bool matchesAcross(std::string_view head, std::string_view tail, std::size_t i, std::string_view needle,
                   bool foldCase, bool utf8) {
    if (i + needle.size() > head.size() + tail.size()) return false;
    if (foldCase && utf8) {
        // A character may stand across the two parts: compare them joined.
        std::string joined(head.substr(std::min(i, head.size())));
        joined.append(tail.substr(i > head.size() ? i - head.size() : 0, needle.size()));
        return foldsToUtf8(joined.substr(0, needle.size()), needle);
    }
    const Fold how = foldCase ? Fold::Ansi : Fold::None;
    // The part of the needle that falls in `head`, then the rest in `tail`.
    const std::size_t inHead = i < head.size() ? std::min(needle.size(), head.size() - i) : 0;
    if (!sameText(head.substr(std::min(i, head.size()), inHead), needle.substr(0, inHead), how)) return false;
    if (inHead == needle.size()) return true;
    return sameText(tail.substr(i + inHead - head.size(), needle.size() - inHead), needle.substr(inHead), how);
}

std::size_t findText(std::string_view text, std::string_view find, std::size_t from, bool ignoreCase, bool utf8) {
    if (from == 0 || from > text.size() + 1) return 0;
    FindCursor cursor;
    std::size_t r = Finder(find, ignoreCase, utf8).find(text, from - 1, cursor);
    return r == npos ? 0 : r + 1;
}

void replaceFast(std::string& text, std::int32_t cursor, std::string_view find, std::string_view replacement,
                 int limit) {
    if (find.empty() || limit == 0) return;
    std::size_t start = cursor <= 1 ? 0 : static_cast<std::size_t>(cursor) - 1;
    if (start >= text.size()) return;
    std::string_view src(text);
    std::size_t q = src.find(find, start);
    if (q == npos) return;

    if (replacement.size() <= find.size()) {
        // In place: what is kept moves left, never past what is still to be
        // searched, so a large text is not copied.
        char* const d = text.data();
        std::size_t in = q, to = q;
        int done = 0;
        while (q != npos && (limit < 0 || done < limit)) {
            std::memmove(d + to, d + in, q - in);
            to += q - in;
            std::memcpy(d + to, replacement.data(), replacement.size());
            to += replacement.size();
            in = q + find.size();
            ++done;
            q = src.find(find, in);
        }
        std::memmove(d + to, d + in, text.size() - in);
        text.resize(to + (text.size() - in));
        return;
    }

    std::string out;
    out.reserve(replacement.size() > find.size() ? text.size() + text.size() / 4 : text.size());
    std::size_t in = 0;
    int done = 0;
    while (q != npos && (limit < 0 || done < limit)) {
        out.append(src.substr(in, q - in));
        out.append(replacement);
        in = q + find.size();
        ++done;
        q = src.find(find, in);
    }
    out.append(src.substr(in));
    text.swap(out);
}

namespace {

// Calls `change` for each occurrence from the cursor on while the counter
// allows. The text being changed is `out` followed by src[in..]: `change`
// appends to `out` what it keeps and moves `in` past what it consumed, and
// the next search starts at `in`. Changes made before a counter overflow
// are kept.
template <class Change>
void changeEachOccurrence(std::string& text, std::int32_t cursor, const Finder& finder, std::int16_t counter,
                          Change change) {
    const std::string_view src(text);
    FindCursor at;
    std::size_t q = finder.find(src, static_cast<std::size_t>(cursor) - 1, at);
    if (q == npos || counter == 0) return;
    std::string out;
    out.reserve(text.size());
    std::size_t in = 0;
    bool overflow = false;
    try {
        while (q != npos && counter != 0) {
            countChange(counter);
            change(src, q, out, in);
            q = finder.find(src, in, at);
        }
    } catch (const CounterOverflow&) {
        overflow = true;
    }
    out.append(src.substr(in));
    text.swap(out);
    if (overflow) throw CounterOverflow();
}

}  // namespace

void replaceGeneral(std::string& text, std::int32_t cursor, std::string_view find, std::string_view replacement,
                    std::int16_t counter, bool ignoreCase, bool wholeLine, bool utf8) {
    requireCursor(cursor);
    if (find.empty()) return;
    const Finder finder(find, ignoreCase, utf8);
    // The last CR LF in the part already built, kept up to date as it grows
    // and as it is cut back, so that line starts are found without rescanning
    // it. `scanned` is how much of the built part `outCr` accounts for.
    std::size_t outCr = npos;
    std::size_t scanned = 0;
    auto lastCrIn = [&](const std::string& out) {
        if (scanned < out.size()) {
            std::size_t from = scanned > 0 ? scanned - 1 : 0;
            std::size_t r = std::string_view(out).substr(from).rfind(CRLF);
            if (r != npos) outCr = from + r;
            scanned = out.size();
        }
        return outCr;
    };
    auto cutBack = [&](std::string& out, std::size_t size) {
        out.resize(size);
        if (scanned <= size) return;
        scanned = size;
        if (outCr != npos && outCr + 2 > size) outCr = size >= 2 ? std::string_view(out).rfind(CRLF, size - 2) : npos;
    };
    changeEachOccurrence(text, cursor, finder, counter, [&](std::string_view src, std::size_t q, std::string& out,
                                                            std::size_t& in) {
        const std::size_t outLen = out.size();
        const std::size_t p = outLen + (q - in);  // the occurrence, 0-based, in the changing text
        std::size_t s = p;
        std::size_t e = p + finder.size();
        if (wholeLine) {
            // Line start: after the last CR LF whose LF is at or before p.
            std::size_t cr = src.substr(in, q - in + 1).rfind(CRLF);
            if (cr != npos) {
                s = outLen + cr + 2;
            } else if (outLen > 0 && out.back() == '\r' && src[in] == '\n') {
                s = outLen + 1;
            } else {
                cr = lastCrIn(out);
                s = cr == npos ? 0 : cr + 2;
            }
            // Line end: before the first CR LF from the occurrence's last character.
            std::size_t lf = src.find(CRLF, q + finder.size() - 1);
            e = lf == npos ? outLen + (src.size() - in) : outLen + (lf - in);
            if (replacement.empty()) {
                if (s >= 2) {
                    s -= 2;  // the line goes with the line break before it
                } else if (lf != npos) {
                    e += 2;  // first line: it goes with the line break after it
                }
            }
        }
        const std::size_t resumeAt = in + (e - outLen);
        if (s <= outLen)
            cutBack(out, s);
        else
            out.append(src.substr(in, s - outLen));
        out.append(replacement);
        in = resumeAt;
    });
}

void deleteText(std::string& text, std::int32_t cursor, std::string_view find, std::int16_t counter,
                bool ignoreCase, bool utf8) {
    if (find.empty()) return;
    requireCursor(cursor);
    const Finder finder(find, ignoreCase, utf8);
    changeEachOccurrence(text, cursor, finder, counter,
                         [&](std::string_view src, std::size_t q, std::string& out, std::size_t& in) {
                             out.append(src.substr(in, q - in));
                             in = q + finder.size();
                         });
}

void deleteCursorLine(std::string& text, std::int32_t cursor) {
    requireCursor(cursor);
    const std::size_t pos = static_cast<std::size_t>(cursor);
    // a: the last CR LF whose LF is within the first `pos` characters.
    std::size_t a = pos >= 2 ? std::string_view(text).rfind(CRLF, pos - 2) : npos;
    // b: the first CR LF at or after the cursor.
    std::size_t b = pos - 1 <= text.size() ? text.find(CRLF, pos - 1) : npos;
    std::string out;
    if (a != npos) out.append(text, 0, a + 2);
    if (b != npos) out.append(text, b + 2);
    text.swap(out);
}

CutResult cutIntoPieces(std::string_view text, PieceTable& pieces,
                        std::size_t limit, bool utf8) {
    pieces.clear();
    if (text.size() <= limit) {
        pieces.emplace_back(0, text.size());
        return CutResult::Ok;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end;
        // Where the character `limit` characters past the start stands.
        const std::size_t window = utf8 ? utf8Advance(text, start, limit) : start + limit;
        if (window >= text.size()) {
            end = text.size();
        } else {
            // The last CR LF whose LF is at most `limit` characters past the start.
            // (the character before `window`: back over its continuation bytes)
            std::size_t lastCr = window - 1;
            while (utf8 && lastCr > start && !startsUtf8Character(text[lastCr])) --lastCr;
            std::size_t cr = text.rfind(CRLF, lastCr);
            if (cr == npos || cr < start) return CutResult::NoLineBreak;
            end = cr + 2;
        }
        if (pieces.size() == kMaxPieces) return CutResult::TooManyPieces;
        pieces.emplace_back(start, end);
        start = end;
    }
    return CutResult::Ok;
}

namespace {

// deline's work on one piece, given with a leading CR LF so that its first
// line is found like the others. Appends the kept text (without that CR LF)
// to `result`; returns whether the counter ran out before an occurrence.
// `lastDeletedLine` gets where, in `result`, the last deleted line stood.
bool deleteLinesInPiece(std::string_view src, const Finder& finder, std::int16_t& counter, std::string& result,
                        std::size_t& lastDeletedLine) {
    FindCursor at;
    if (counter == 0) {
        result.append(src.substr(2));
        return finder.find(src, 0, at) != npos;
    }
    // The piece being changed is `out` followed by src[in..]. After a
    // deletion `out` ends with the CR LF before the next line, and the
    // search starts again on that CR LF.
    std::string out;
    std::size_t in = 0;
    std::size_t f = finder.find(src, 0, at);  // 0-based, in the changing piece
    while (f != npos && counter != 0) {
        countChange(counter);
        const std::size_t outLen = out.size();
        // Line start: after the last CR LF whose LF is within the first f + 2
        // characters, else just after the CR LF that ends `out`.
        std::size_t cr = f >= outLen ? src.substr(in, f - outLen + 2).rfind(CRLF) : npos;
        std::size_t s = cr != npos ? outLen + cr + 2 : outLen >= 2 ? outLen : 0;
        // Line end: just after the first CR LF from f + 1.
        std::size_t from = std::max(f + 1, outLen);
        std::size_t lf = src.find(CRLF, in + (from - outLen));
        std::size_t e = lf == npos ? outLen + (src.size() - in) : outLen + (lf - in) + 2;

        out.append(src.substr(in, s - outLen));
        in += e - outLen;
        lastDeletedLine = result.size() + (s >= 2 ? s - 2 : 0);

        // Search again from the CR LF before the following line, which now
        // straddles `out` and the rest.
        std::string_view rest = src.substr(in);
        f = npos;
        for (std::size_t back = std::min<std::size_t>(2, out.size()); back > 0 && f == npos; --back) {
            std::size_t atOut = out.size() - back;
            if (finder.matchesAt(std::string_view(out).substr(atOut), rest, 0)) f = atOut;
        }
        if (f == npos) {
            std::size_t r = finder.find(src, in, at);
            if (r != npos) f = out.size() + (r - in);
        }
    }
    out.append(src.substr(in));
    result.append(std::string_view(out).substr(2));
    return counter == 0 && f != npos;
}

}  // namespace

DelineResult deleteLinesHolding(std::string_view text, const PieceTable& pieces, std::string_view find,
                                std::int16_t counter, bool ignoreCase, bool utf8) {
    const Finder finder(find, ignoreCase, utf8);
    DelineResult result;
    result.text.reserve(text.size());
    bool stoppedBeforeAnOccurrence = false;
    std::size_t lastDeletedLine = 0;  // 0-based, in the new text
    std::string piece;
    for (const auto& [begin, end] : pieces) {
        piece.assign(CRLF);
        piece.append(text.substr(begin, end - begin));
        if (deleteLinesInPiece(piece, finder, counter, result.text, lastDeletedLine))
            stoppedBeforeAnOccurrence = true;
    }
    result.cursor = stoppedBeforeAnOccurrence ? static_cast<std::int32_t>(lastDeletedLine + 1) : 1;
    return result;
}

// ---- the line commands' algorithms (deline, delinepart, delinechar)

namespace {

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
    char at(std::size_t i) const { return i < line_.size() ? line_[i] : src_[rest_ + (i - line_.size())]; }
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

char byteAt(const PieceLines& lines, std::size_t i) { return lines.at(i); }

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
            std::size_t start = nthOccurrence(piece, sd, lineStart, skipStarts, utf8);
            if (start == npos || start + firstChar == piece.size()) break;
            if (start >= lineEnd) {
                found = start;
                continue;
            }
            std::size_t stop = nthOccurrence(piece, ed, start + sd.size(), skipEnds, utf8);
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
            std::size_t start = nthOccurrence(lines, startDelimiter, 0, skipStarts, utf8);
            if (start == npos || start + firstChar == lines.size()) break;  // the piece is given up
            if (start >= lines.line().size()) {
                found = start;  // the chosen delimiter is in a later line: examine that line
                continue;
            }
            std::size_t stop = nthOccurrence(lines, endDelimiter, start + startDelimiter.size(), skipEnds, utf8);
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

}  // namespace torvic
