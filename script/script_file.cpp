#include "script/script_file.h"

#include <array>
#include <cstdio>

#include "base/text.h"
#include "script/encoding.h"

namespace torvic {

namespace {

// Whether a CR stands somewhere but in a CR LF pair.
bool holdsLoneCr(std::string_view text) {
    for (std::size_t p = text.find('\r'); p != std::string_view::npos; p = text.find('\r', p + 1))
        if (p + 1 == text.size() || text[p + 1] != '\n') return true;
    return false;
}

}  // namespace

std::string scriptTextFromBytes(std::string_view bytes, bool* readLineFeeds) {
    const bool lineFeeds = bytes.find('\r') == std::string_view::npos &&
                           bytes.find('\n') != std::string_view::npos && !bytes.starts_with(kEncodedMarker);
    if (readLineFeeds) *readLineFeeds = lineFeeds;
    const char end = lineFeeds ? '\n' : '\r';
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t cr = bytes.find(end, i);
        if (!out.empty() || i > 0) out += "\r\n";
        if (cr == std::string_view::npos) {
            out.append(bytes.substr(i));
            break;
        }
        out.append(bytes.substr(i, cr - i));
        i = cr + 1;
        if (!lineFeeds && i < bytes.size() && bytes[i] == '\n') ++i;
    }
    return out;
}

ScriptFile readScriptFile(std::string_view bytes) {
    ScriptFile file;
    file.encoding = bytes.starts_with(kEncodedMarker) ? TextEncoding::Ansi : detectEncoding(bytes);
    const std::string_view body = isUtf8(file.encoding) ? withoutBom(bytes) : bytes;
    std::string text = scriptTextFromBytes(body, &file.readLineFeeds);
    file.endsWithLineBreak = file.readLineFeeds ? body.ends_with('\n') : body.ends_with('\r') || body.ends_with("\r\n");
    if (isUtf8(file.encoding)) {
        file.text = utf8To1252(text);
        file.textUtf8 = std::move(text);
    } else {
        file.text = std::move(text);
    }
    return file;
}

std::string scriptFileBytes(std::string_view editorTextUtf8, TextEncoding encoding, bool endsWithLineBreak,
                            LineBreak lineBreak) {
    std::string bytes;
    if (encoding == TextEncoding::Ansi) {
        bytes = utf8To1252(editorTextUtf8);
    } else {
        if (encoding == TextEncoding::Utf8Bom || editorTextUtf8.starts_with(kEncodedMarker)) bytes = kUtf8Bom;
        bytes += editorTextUtf8;
    }
    if (endsWithLineBreak) bytes += CRLF;
    if (lineBreak == LineBreak::Lf && !holdsLoneCr(bytes)) bytes = crLfToLineFeeds(bytes);
    return bytes;
}

LinesOutside1252 linesOutside1252(std::string_view text) {
    LinesOutside1252 lines;
    std::string all;
    utf8To1252(text, &all);
    if (all.empty()) return lines;
    int line = 0;
    for (std::size_t start = 0;; ++line) {
        const std::size_t end = std::min(text.find(CRLF, start), text.size());
        std::string outside;
        utf8To1252(text.substr(start, end - start), &outside);
        if (!outside.empty()) lines.emplace(line, std::move(outside));
        if (end == text.size()) break;
        start = end + CRLF.size();
    }
    return lines;
}

std::string characterCodes(std::string_view characters) {
    std::string out;
    std::size_t i = 0;
    while (i < characters.size()) {
        const std::size_t len = std::max<std::size_t>(1, utf8SequenceLength(characters, i));
        const char32_t u = utf8CodePoint(characters, i, len);
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(u));
        if (!out.empty()) out += ' ';
        out += code;
        i += len;
    }
    return out;
}

LoadResult loadLines(RunContext& run, std::string_view editorText, const LinesOutside1252& outside) {
    std::string text(editorText);
    text += CRLF;
    // An encoded script is decoded layer by layer. A layer that does not
    // shrink the text cannot be a real layer; stopping there avoids looping.
    // Decoding keeps every line break where it was (codes below 32 are left
    // alone), so a line keeps its number in the editor.
    while (isEncodedScript(text)) {
        const std::size_t lengthAt = kEncodedMarker.size();
        if (text.size() <= lengthAt || static_cast<unsigned char>(text[lengthAt]) < 30)
            return LoadResult::UnreadableHeader;
        std::string decoded = descodificaText(extreuClau(text), text);
        if (decoded.size() >= text.size()) break;
        text = std::move(decoded);
    }

    // Cut into pieces at CR LF; empty pieces are dropped.
    std::array<std::string_view, kTableSize> pieces;
    std::array<int, kTableSize> editorLine{};
    std::size_t n = 0;
    std::size_t p = 0;
    int line = 0;
    std::string_view t(text);
    for (; p + 1 < t.size(); ++line) {
        std::size_t b = t.find(CRLF, p);
        if (b == std::string_view::npos) b = t.size();
        if (isScriptLine(b - p)) {
            if (n >= kMaxScriptLines) return LoadResult::TooManyLines;
            editorLine[n] = line;
            pieces[n++] = t.substr(p, b - p);
        }
        p = b + 2;
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) run.linies[i].assign(pieces[i]);
    run.forgetCutParameters();
    run.nombreLinies = static_cast<std::int16_t>(n);
    run.outside1252.clear();
    if (!outside.empty()) {
        for (std::size_t i = 0; i < n; ++i)
            if (const auto it = outside.find(editorLine[i]); it != outside.end())
                run.outside1252.emplace(static_cast<int>(i), it->second);
    }
    return LoadResult::Loaded;
}

}  // namespace torvic
