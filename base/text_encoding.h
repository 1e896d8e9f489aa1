#pragma once
// What a text file is written in: code page 1252 (one byte a character),
// UTF-8 with or without its byte-order mark, or (documents only) UTF-16 with
// its mark; and how its lines end. Documents and script files are recognised
// on reading and written back in the form they came in.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace torvic {

enum class TextEncoding { Ansi, Utf8, Utf8Bom, Utf16Le, Utf16Be };

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// Whether a text of this encoding is held as UTF-8 in memory: every one but
// 1252 (UTF-16 is converted on reading and back on writing).
inline bool isUtf8(TextEncoding e) { return e != TextEncoding::Ansi; }
inline bool isUtf16(TextEncoding e) { return e == TextEncoding::Utf16Le || e == TextEncoding::Utf16Be; }

// The line break a file is written with. Texts are held with CR LF.
enum class LineBreak { CrLf, Lf };

// How the lines of a text end: CR LF when it holds one, otherwise LF when it
// holds one; nothing when it has no line break at all.
std::optional<LineBreak> lineBreakOf(std::string_view text);

// Every LF as CR LF (in place: the text grows where it stands when it has
// the room), and every CR LF as LF. For a text holding no CR LF the first
// is undone exactly by the second.
void lineFeedsToCrLf(std::string& text);
std::string crLfToLineFeeds(std::string_view text);
// The same into `out` (what it held is replaced; its room is reused).
void crLfToLineFeeds(std::string_view text, std::string& out);

// UTF-16 (without its mark) as UTF-8; nothing when it is not well formed (an
// odd number of bytes, a surrogate without its pair).
std::optional<std::string> utf16ToUtf8(std::string_view bytes, bool bigEndian);
// UTF-8 as UTF-16 (without a mark). A byte that starts no well-formed
// sequence stands for its 1252 character.
std::string utf8ToUtf16(std::string_view text, bool bigEndian);
void utf8ToUtf16(std::string_view text, bool bigEndian, std::string& out);

// The length of the UTF-8 sequence at `i` (1 to 4) when it is well formed
// (no overlong forms, no surrogates, nothing past U+10FFFF); 0 otherwise.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i);

// The code point of the well-formed sequence of `len` bytes at `i`.
char32_t utf8CodePoint(std::string_view s, std::size_t i, std::size_t len);

// Whether every byte belongs to a well-formed UTF-8 sequence.
bool isValidUtf8(std::string_view s);

// A file's bytes are UTF-8 when they start with the byte-order mark, or are
// valid UTF-8 holding at least one multi-byte sequence; anything else (plain
// ASCII, 1252, a console code page text) is Ansi.
TextEncoding detectEncoding(std::string_view bytes);

// The text without its byte-order mark, when it has one.
std::string_view withoutBom(std::string_view bytes);

// Whether a byte starts a character of a UTF-8 text (is not a continuation).
inline bool startsUtf8Character(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// The number of characters of a valid UTF-8 text.
std::size_t utf8Length(std::string_view s);

// The byte offset of the character `chars` characters after byte `from`, or
// the end of the text when it has fewer.
std::size_t utf8Advance(std::string_view s, std::size_t from, std::size_t chars);

// A UTF-8 text in 1252 when every character has a 1252 byte; `outside`
// then stays empty. Otherwise it receives each character 1252 cannot hold
// once (as UTF-8, in order of appearance) and the result holds '?' in
// their places.
std::string utf8To1252(std::string_view utf8, std::string* outside = nullptr);

}  // namespace torvic

namespace torvic {

// The case mapping of code page 1252's letters (ASCII and the accented
// letters 1252 holds) on a UTF-8 text. Every character keeps its length in
// bytes, so positions in the folded text are those of the original; the
// characters 1252 does not hold are left as they are.
std::string toLowerUtf8(std::string_view s);

// Whether `text` (UTF-8, starting at a character) folds to `folded` (a
// UTF-8 text already folded), byte for byte over folded's length.
bool foldsToUtf8(std::string_view text, std::string_view folded);

}  // namespace torvic
