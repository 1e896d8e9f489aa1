#pragma once
// Plain step-by-step versions of the text commands' algorithms, written
// straight from their definitions: each change re-copies the whole text.
// The one-pass algorithms must give the same results (tests and fuzzing).
#include <cstdint>
#include <string>
#include <vector>

#include "textcmd/ref.h"
#include "textcmd/text_algorithms.h"

namespace torvic::plain {

struct Outcome {
    std::string text;
    bool overflow = false;
    bool operator==(const Outcome&) const = default;
};

// repl, general form; del is it with no replacement and line-wise off.
Outcome replaceGeneral(std::string text, std::int32_t cursor, const std::string& find, const std::string& repl,
                       std::int16_t counter, bool ignoreCase, bool wholeLine);
struct Deline {
    std::string text;
    std::int32_t cursor = 1;
    bool overflow = false;
};
// deline with a text, over an explicit table of pieces.
Deline deleteLines(const std::string& text, const PieceTable& pieces, const std::string& find, std::int16_t counter,
                   bool ignoreCase);

// ref's collected text and reports, searching the text as it stands at
// every step.
std::string extractReferences(const std::string& text, const std::string& prefix, const std::string& selection,
                              std::vector<RefError>& errors);

}  // namespace torvic::plain
