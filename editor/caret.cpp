#include "editor/caret.h"

#include "base/text.h"

namespace torvic {

CaretPosition caretPosition(std::string_view text, std::size_t caret) {
    if (caret > text.size()) caret = text.size();
    CaretPosition p;
    // Column: back from the caret to the last CR LF wholly before it; a CR LF
    // put before the text makes the first line start at column 0.
    std::string search(CRLF);
    search.append(text);
    search += ' ';
    // The last CR LF lying wholly within the first caret + 3 characters.
    std::size_t k = findBackwards(std::string_view(search).substr(0, caret + 3), CRLF);
    p.column = static_cast<int>(caret + 1 - k);
    // Line: CR LF pairs before the caret.
    std::string_view before = text.substr(0, caret);
    for (std::size_t at = before.find(CRLF); at != std::string_view::npos; at = before.find(CRLF, at + 2)) ++p.line;
    return p;
}

std::string keywordTextAtCaret(std::string_view text, std::size_t caret, int column) {
    std::size_t a = caret - static_cast<std::size_t>(column) + 1;  // 1-based line start
    std::size_t paren = findFrom(text, "(", a);
    if (paren == 0) paren = caret + 1;
    if (paren < a) return "";
    return std::string(text.substr(a - 1, paren - a));
}

}  // namespace torvic
