// The one-pass text algorithms against the plain step-by-step versions:
// every result (text, cursor, counter overflow) must be the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "tests/support/plain_reference.h"
#include "textcmd/text_algorithms.h"

using namespace torvic;
using namespace torvic::textcmd;

namespace {

[[noreturn]] void differ() { std::abort(); }

template <class F>
bool overflows(F f) {
    try {
        f();
        return false;
    } catch (const CounterOverflow&) {
        return true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint8_t op = data[0];
    const auto counter = static_cast<std::int16_t>(static_cast<std::int8_t>(data[1]) % 6);  // -5..5
    const bool ignoreCase = op & 0x10, wholeLine = op & 0x20;
    // text \x01 find \x01 replacement, each kept small so the plain forms stay fast.
    std::vector<std::string_view> parts = split(std::string_view(reinterpret_cast<const char*>(data) + 3, size - 3), '\x01');
    if (parts.size() < 2) return 0;
    const std::string text(parts[0].substr(0, 300));
    const std::string find(parts[1].substr(0, 8));
    const std::string repl(parts.size() > 2 ? parts[2].substr(0, 8) : "");
    const std::int32_t cursor = 1 + data[2] % (static_cast<int>(text.size()) + 2);
    if (find.empty()) return 0;

    switch (op % 5) {
        case 0: {  // repl, general form; a replacement no longer than the text found keeps the plain form fast
            const std::int16_t c = changeCounter(counter);
            if (repl.size() > find.size() && c < 0) return 0;
            plain::Outcome expected = plain::replaceGeneral(text, cursor, find, repl, c, ignoreCase, wholeLine);
            plain::Outcome got{text, false};
            got.overflow = overflows([&] { replaceGeneral(got.text, cursor, find, repl, c, ignoreCase, wholeLine); });
            if (!(got == expected)) differ();
            break;
        }
        case 1: {  // repl, fast form
            const int limit = counter > 0 ? counter : -1;
            std::string expected = text;
            std::size_t from = static_cast<std::size_t>(cursor) - 1;
            for (int done = 0; from <= expected.size() && (limit < 0 || done < limit); ++done) {
                std::size_t q = expected.find(find, from);
                if (q == std::string::npos) break;
                expected.replace(q, find.size(), repl);
                from = q + repl.size();
            }
            std::string got = text;
            replaceFast(got, cursor, find, repl, limit);
            if (got != expected) differ();
            break;
        }
        case 2: {  // del
            const std::int16_t c = changeCounter(counter);
            plain::Outcome expected = plain::deleteText(text, cursor, find, c, ignoreCase);
            plain::Outcome got{text, false};
            got.overflow = overflows([&] { deleteText(got.text, cursor, find, c, ignoreCase); });
            if (!(got == expected)) differ();
            break;
        }
        case 3: {  // deline with a text, over small pieces
            PieceTable pieces;
            if (cutIntoPieces(text, pieces, 4 + data[2] % 40) != CutResult::Ok) return 0;
            const std::int16_t c = changeCounter(counter);
            plain::Deline expected = plain::deleteLines(text, pieces, find, c, ignoreCase);
            DelineResult got;
            const bool overflow = overflows([&] { got = deleteLinesHolding(text, pieces, find, c, ignoreCase); });
            if (overflow != expected.overflow) differ();
            if (!overflow && (got.text != expected.text || got.cursor != expected.cursor)) differ();
            break;
        }
        case 4: {  // delinepart: line by line against the in-place form
            if (find.find_first_of("\r\n") != std::string::npos || repl.empty()) return 0;
            PieceTable pieces;
            if (cutIntoPieces(text, pieces, 4 + data[2] % 40) != CutResult::Ok) return 0;
            const int skipStarts = data[1] & 3, skipEnds = (data[1] >> 2) & 3;
            const std::int16_t c = changeCounter(static_cast<std::int16_t>(counter));
            std::string a, b;
            const bool oa = overflows([&] { a = removeLineParts(text, pieces, find, repl, skipStarts, skipEnds, c); });
            const bool ob =
                overflows([&] { b = removeLinePartsInPlace(text, pieces, find, repl, skipStarts, skipEnds, c); });
            if (oa != ob || a != b) differ();
            break;
        }
    }
    return 0;
}
