#include "script/script_file.h"

#include <array>

#include "base/text.h"
#include "script/encoding.h"

namespace torvic {

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

LoadResult loadLines(RunContext& run, std::string_view editorText) {
    std::string text(editorText);
    text += CRLF;
    // An encoded script is decoded layer by layer. A layer that does not
    // shrink the text cannot be a real layer; stopping there avoids looping.
    while (text.starts_with(kEncodedMarker)) {
        const std::size_t lengthAt = kEncodedMarker.size();
        if (text.size() <= lengthAt || static_cast<unsigned char>(text[lengthAt]) < 30)
            return LoadResult::UnreadableHeader;
        std::string decoded = descodificaText(extreuClau(text), text);
        if (decoded.size() >= text.size()) break;
        text = std::move(decoded);
    }

    // Cut into pieces at CR LF; empty pieces are dropped.
    std::array<std::string_view, kTableSize> pieces;
    std::size_t n = 0;
    std::size_t p = 0;
    std::string_view t(text);
    while (p + 1 < t.size()) {
        std::size_t b = t.find(CRLF, p);
        if (b == std::string_view::npos) b = t.size();
        if (p < b) {
            if (n >= kMaxScriptLines) return LoadResult::TooManyLines;
            pieces[n++] = t.substr(p, b - p);
        }
        p = b + 2;
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) run.linies[i].assign(pieces[i]);
    run.nombreLinies = static_cast<std::int16_t>(n);
    return LoadResult::Loaded;
}

}  // namespace torvic
