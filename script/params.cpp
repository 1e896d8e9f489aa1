// Cutting a statement's parameter list into the ten parameter slots.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/numeric.h"
#include "base/text.h"
#include "script/run_context.h"

namespace torvic {
namespace {

// Kinds 2 and 3: quoted pieces and character codes joined by "+", up to a
// comma outside quotes. Appends to `slot`; returns how many characters of
// `s` were consumed.
std::size_t readText(std::string_view s, std::string& slot) {
    std::vector<std::string_view> pieces = split(s, '"');

    std::string_view p0 = pieces[0];
    bool code = p0.empty() || valorNumeric(p0.substr(0, p0.find('+'))) > 0 ||
                p0.find(',') != std::string_view::npos;

    std::size_t c = 0;
    for (std::string_view piece : pieces) {
        std::size_t c0 = c;
        c += piece.size() + 1;
        if (!code) {
            slot.append(piece);
        } else {
            std::size_t comma = piece.find(',');
            std::vector<std::string_view> terms = split(piece.substr(0, comma), '+');
            if (valorNumeric(terms[0]) > 0 || (terms.size() >= 2 && valorNumeric(terms[1]) > 0)) {
                for (std::string_view term : terms) {
                    double v = valorNumeric(term);
                    if (v > 0) slot += static_cast<char>(toByte(v));
                }
            }
            if (comma != std::string_view::npos) return c0 + comma + 1;
        }
        code = !code;
    }
    return c;
}

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    std::size_t p = s.find(from);
    if (p == std::string::npos) return;
    std::string out;
    std::size_t b = 0;
    for (; p != std::string::npos; p = s.find(from, b)) {
        out.append(s, b, p - b);
        out.append(to);
        b = p + from.size();
    }
    out.append(s, b);
    s = std::move(out);
}

}  // namespace

void RunContext::obtParam(std::span<const ParamKind> kinds) {
    if (liniaActual < 0 || liniaActual >= kTableSize) return cutParameters(kinds);
    CutLine& cut = cutLines_[static_cast<std::size_t>(liniaActual)];
    const std::size_t count = std::min(kinds.size(), cut.kinds.size());
    if (cut.valid && cut.kindCount == count && std::equal(kinds.begin(), kinds.begin() + count, cut.kinds.begin())) {
        for (std::size_t k = 0; k < parametresLinia.size(); ++k) parametresLinia[k].assign(cut.values[k]);
        return;
    }
    cutParameters(kinds);
    cut.valid = true;
    cut.kindCount = count;
    std::copy(kinds.begin(), kinds.begin() + count, cut.kinds.begin());
    for (std::size_t k = 0; k < parametresLinia.size(); ++k) cut.values[k].assign(parametresLinia[k]);
}

void RunContext::cutParameters(std::span<const ParamKind> kinds) {
    std::string_view line = entry(liniaActual);
    std::string_view s;
    std::size_t open = line.find('(');
    if (open != std::string_view::npos) s = line.substr(open + 1);
    std::size_t close = s.rfind(')');
    if (close != std::string_view::npos) s = s.substr(0, close);
    s = trimBlanks(s);

    std::size_t c = 0;
    std::size_t k = 0;
    for (ParamKind kind : kinds) {
        if (k >= parametresLinia.size()) break;
        s.remove_prefix(c < s.size() ? c : s.size());
        c = 0;
        if (s.empty()) break;
        std::string& slot = parametresLinia[k];
        switch (kind) {
            case ParamKind::Plain: {
                std::size_t comma = s.find(',');
                std::size_t p = comma == std::string_view::npos ? s.size() + 1 : comma + 1;
                slot.assign(trimBlanks(s.substr(0, p - 1)));
                c = p;
                break;
            }
            case ParamKind::Escaped:
            case ParamKind::Text:
                c = readText(s, slot);
                if (kind == ParamKind::Escaped) {
                    replaceAll(slot, "\\n", CRLF);
                    replaceAll(slot, "\\N", CRLF);
                    replaceAll(slot, "\\t", "\t");
                    replaceAll(slot, "\\T", "\t");
                }
                break;
            case ParamKind::Rest:
                slot.assign(s);
                return;
        }
        ++k;
    }
}

}  // namespace torvic
