#pragma once
// The working text that scripts edit, its cursor and the default reference
// prefix. Kept for the life of the program, across runs.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_encoding.h"

namespace torvic {

// The working text is held as 1252 bytes, or as UTF-8 (whatever characters
// it holds, those 1252 lacks included) for a UTF-8 or UTF-16 file; its lines
// always end with CR LF, whichever line break its file has. The cursor and
// every count a script sees are in characters.
class TextDocument {
public:
    std::int32_t posTreball = 0;     // 1-based cursor, in characters
    std::string referenciaDefecte;   // prefix put before every reference key
    TextEncoding encoding = TextEncoding::Ansi;  // what open read and save writes
    LineBreak lineBreak = LineBreak::CrLf;       // the file's line break

    // Takes a file's bytes as the working text, and remembers the form to
    // write it back in. A UTF-8 mark is dropped; a UTF-16 file with its mark
    // (and well formed) becomes UTF-8; a text whose line breaks are LF alone
    // (it holds no CR LF) gets CR LF ones. A file that does not tell (plain
    // ASCII; no line break at all) is taken to be in `plainEncoding` and
    // `plainBreak`, which is then what the script's additions are written in.
    void load(std::string bytes, TextEncoding plainEncoding, LineBreak plainBreak);
    // Whether a text of the document is written to its file as it is held.
    bool writtenAsHeld() const;
    // The bytes of the document's file for a text held as the document is:
    // the same bytes as were read when the text is the one load made.
    std::string fileBytes(std::string_view text) const;

    // The whole document, CR LF line breaks.
    const std::string& textTreball() const { return textTreball_; }
    // Every change of the text goes through here (positions worked out on
    // the text before no longer hold).
    template <class Change>
    void changeText(Change&& change) {
        change(textTreball_);
        anchor_ = {};
    }
    void setText(std::string text) {
        textTreball_ = std::move(text);
        anchor_ = {};
    }

    bool utf8() const { return isUtf8(encoding); }
    // A script's text (1252) as the document's characters, and back.
    std::string fromScript(std::string_view text1252) const;
    std::string toScript(std::string_view text) const;
    // The 1-based byte position of a 1-based character position. Positions
    // before the text are kept as they are, and those past its end keep
    // their distance from it.
    std::int32_t bytePosition(std::int32_t charPosition) const;
    // The 1-based character position of a 1-based byte position.
    double characterPosition(double bytePosition) const;

private:
    std::string textTreball_;
    // A byte offset whose count of characters before it is known. In a
    // UTF-8 text each conversion counts from the last one, so a run that
    // moves through a long text pays for the distance moved, not for all
    // the text before the cursor.
    struct Anchor {
        std::size_t bytes = 0, chars = 0;
    };
    mutable Anchor anchor_;
    std::size_t charactersBefore(std::size_t byte) const;
    std::size_t byteOfCharacter(std::size_t chars) const;
};

// The bytes of a document's file for a text held as the document is, a
// piece at a time (each call of next() the next one, then an empty one): its
// mark, then the text converted a block at a time (LF line breaks, UTF-16),
// so that a large text is never copied whole.
class DocumentFileBytes {
public:
    DocumentFileBytes(const TextDocument& doc, std::string_view text);
    std::string_view next();

private:
    std::string_view mark_, rest_;
    LineBreak lineBreak_;
    TextEncoding encoding_;
    std::string lines_, units_;  // the block being written, in its form
};

}  // namespace torvic
