// The parameter cutting with every sequence of kinds: the first bytes choose
// the kinds (up to ten), the rest is the statement.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/errors.h"
#include "base/text.h"
#include "tests/support/scripted_host.h"

using namespace torvic;

namespace {

// The pieces a statement of plain parameters cuts into: the text between the
// first "(" and the last ")", trimmed, split at commas, each trimmed.
std::vector<std::string> plainPieces(std::string_view line) {
    std::string_view s;
    std::size_t open = line.find('(');
    if (open != std::string_view::npos) s = line.substr(open + 1);
    std::size_t close = s.rfind(')');
    if (close != std::string_view::npos) s = s.substr(0, close);
    s = trimBlanks(s);
    std::vector<std::string> out;
    if (s.empty()) return out;
    for (std::string_view piece : split(s, ',')) out.emplace_back(trimBlanks(piece));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t count = data[0] % 11;
    if (size < 1 + count) return 0;
    std::vector<ParamKind> kinds;
    bool allPlain = true;
    for (std::size_t i = 0; i < count; ++i) {
        kinds.push_back(static_cast<ParamKind>(data[1 + i] % 4 + 1));
        allPlain = allPlain && kinds.back() == ParamKind::Plain;
    }
    const std::string line(reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count);

    static test::Rig rig;
    RunContext& ctx = rig.engine.run;
    ctx.linies[0] = line;
    ctx.liniaActual = 0;
    for (auto& slot : ctx.parametresLinia) slot.clear();
    try {
        ctx.obtParam(kinds);
    } catch (const RunTimeError&) {
        return 0;  // a character code out of range: a script error
    }
    for (std::size_t k = 0; k < ctx.parametresLinia.size(); ++k) {
        // Escapes only shorten a text; codes take at least one character each.
        if (ctx.parametresLinia[k].size() > line.size()) std::abort();
        if (k >= count && !ctx.parametresLinia[k].empty()) std::abort();  // only the slots asked for are filled
    }
    if (allPlain) {
        // Plain slots are the trimmed pieces between commas, in order.
        std::vector<std::string> pieces = plainPieces(line);
        for (std::size_t k = 0; k < count; ++k) {
            const std::string expected = k < pieces.size() ? pieces[k] : "";
            if (ctx.parametresLinia[k] != expected) std::abort();
        }
    }
    return 0;
}
