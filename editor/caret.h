#pragma once
// Caret tracking of the editor: line, column and the keyword text under the
// caret. Texts use CR LF line breaks; positions count each as two characters.
#include <string>
#include <string_view>

namespace torvic {

struct CaretPosition {
    int line = 0;    // number of CR LF pairs before the caret
    int column = 0;  // characters between the start of the caret's line and the caret
};

// `caret` is the 0-based selection start.
CaretPosition caretPosition(std::string_view text, std::size_t caret);

// The text handed to TAjuda for a caret at `column` > 0: from the start of
// the caret's line to the first "(" after it (anywhere later in the text),
// or to the caret when there is none.
std::string keywordTextAtCaret(std::string_view text, std::size_t caret, int column);

}  // namespace torvic
