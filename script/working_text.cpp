#include "script/working_text.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "base/cp1252.h"

namespace torvic {

namespace {

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

void TextDocument::load(std::string bytes, TextEncoding plainEncoding, LineBreak plainBreak) {
    std::optional<std::string> utf16;
    if (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom)) {
        const bool bigEndian = bytes.starts_with(kUtf16BeBom);
        // Malformed UTF-16 is read as any other bytes are, so nothing of it is lost.
        utf16 = utf16ToUtf8(std::string_view(bytes).substr(2), bigEndian);
        if (utf16) encoding = bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
    }
    if (utf16) {
        bytes = std::move(*utf16);
    } else {
        // A UTF-8 file stays UTF-8; one that is plain ASCII (or empty) takes
        // the system's encoding, which what a script writes into it is saved in.
        encoding = detectEncoding(bytes);
        if (encoding == TextEncoding::Utf8Bom) bytes.erase(0, kUtf8Bom.size());
        if (encoding == TextEncoding::Ansi && isAscii(bytes)) encoding = plainEncoding;
    }
    lineBreak = lineBreakOf(bytes).value_or(plainBreak);
    // The commands count a line break as CR LF whatever the file holds.
    if (lineBreak == LineBreak::Lf) lineFeedsToCrLf(bytes);
    setText(std::move(bytes));
}

bool TextDocument::writtenAsHeld() const {
    return lineBreak == LineBreak::CrLf && (encoding == TextEncoding::Ansi || encoding == TextEncoding::Utf8);
}

std::string TextDocument::fileBytes(std::string_view text) const {
    DocumentFileBytes pieces(*this, text);
    std::string bytes;
    for (std::string_view piece = pieces.next(); !piece.empty(); piece = pieces.next()) bytes.append(piece);
    return bytes;
}

DocumentFileBytes::DocumentFileBytes(const TextDocument& doc, std::string_view text)
    : rest_(text), lineBreak_(doc.lineBreak), encoding_(doc.encoding) {
    switch (encoding_) {
        case TextEncoding::Utf8Bom: mark_ = kUtf8Bom; break;
        case TextEncoding::Utf16Le: mark_ = kUtf16LeBom; break;
        case TextEncoding::Utf16Be: mark_ = kUtf16BeBom; break;
        default: break;
    }
}

std::string_view DocumentFileBytes::next() {
    if (!mark_.empty()) return std::exchange(mark_, {});
    const bool converted = lineBreak_ == LineBreak::Lf || isUtf16(encoding_);
    if (!converted) return std::exchange(rest_, {});
    // A block never ends between a CR and its LF, nor inside a character.
    constexpr std::size_t kBlock = 1 << 18;
    std::size_t n = std::min(rest_.size(), kBlock);
    if (n < rest_.size() && rest_[n - 1] == '\r' && rest_[n] == '\n') ++n;
    while (n < rest_.size() && !startsUtf8Character(rest_[n])) ++n;
    std::string_view block = rest_.substr(0, n);
    rest_.remove_prefix(n);
    if (lineBreak_ == LineBreak::Lf) {
        crLfToLineFeeds(block, lines_);
        block = lines_;
    }
    if (isUtf16(encoding_)) {
        utf8ToUtf16(block, encoding_ == TextEncoding::Utf16Be, units_);
        block = units_;
    }
    return block;
}

std::string TextDocument::fromScript(std::string_view text1252) const {
    return utf8() ? cp1252::toUtf8(text1252) : std::string(text1252);
}

std::string TextDocument::toScript(std::string_view text) const {
    return utf8() ? utf8To1252(text) : std::string(text);
}

std::size_t TextDocument::charactersBefore(std::size_t byte) const {
    const std::string_view text = textTreball_;
    const Anchor a = anchor_;
    const std::size_t chars = byte >= a.bytes ? a.chars + utf8Length(text.substr(a.bytes, byte - a.bytes))
                                              : a.chars - utf8Length(text.substr(byte, a.bytes - byte));
    anchor_ = {byte, chars};
    return chars;
}

std::size_t TextDocument::byteOfCharacter(std::size_t chars) const {
    const std::string_view text = textTreball_;
    const Anchor a = anchor_;
    std::size_t at = a.bytes;
    if (chars >= a.chars) {
        at = utf8Advance(text, a.bytes, chars - a.chars);
    } else {  // back over characters: the start byte that has `chars` before it
        for (std::size_t back = a.chars - chars; at > 0;)
            if (startsUtf8Character(text[--at]) && --back == 0) break;
    }
    if (at < text.size()) anchor_ = {at, chars};
    return at;
}

std::int32_t TextDocument::bytePosition(std::int32_t charPosition) const {
    if (!utf8() || charPosition <= 1) return charPosition;
    const std::size_t chars = static_cast<std::size_t>(charPosition) - 1;
    const std::size_t at = byteOfCharacter(chars);
    if (at < textTreball_.size()) return static_cast<std::int32_t>(at + 1);
    // At or past the end: as far past the end in bytes as in characters.
    const long long past = static_cast<long long>(chars) - static_cast<long long>(charactersBefore(textTreball_.size()));
    const long long bytes = static_cast<long long>(textTreball_.size()) + 1 + past;
    return static_cast<std::int32_t>(std::min<long long>(bytes, std::numeric_limits<std::int32_t>::max()));
}

double TextDocument::characterPosition(double bytePosition) const {
    if (!utf8() || bytePosition <= 1) return bytePosition;
    const double size = static_cast<double>(textTreball_.size());
    const std::size_t inText = bytePosition > size + 1 ? textTreball_.size() : static_cast<std::size_t>(bytePosition) - 1;
    return static_cast<double>(charactersBefore(inText)) + 1 + (bytePosition - 1 - static_cast<double>(inText));
}

}  // namespace torvic
