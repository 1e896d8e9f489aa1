#include "tests/support/plain_reference.h"

#include <string_view>

#include "base/cp1252.h"
#include "base/text.h"

namespace torvic::plain {
namespace {

std::string fold(std::string s) { return toLower1252(s); }

std::vector<std::string> splitAt(const std::string& s, char sep) {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == sep)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

}  // namespace

Outcome replaceGeneral(std::string text, std::int32_t cursor, const std::string& find, const std::string& repl,
                            std::int16_t counter, bool ic, bool wl) {
    std::string cmp = ic ? fold(text) : text;
    std::string f = ic ? fold(find) : find;
    std::string r2 = ic ? fold(repl) : repl;
    std::size_t p = findFrom(cmp, f, cursor);
    int c = counter;
    while (p > 0 && c != 0) {
        std::size_t s = p, e = p + f.size() - 1;  // 1-based, inclusive
        if (wl) {
            std::size_t a = findBackwards(std::string_view(cmp).substr(0, p), CRLF);
            s = a ? a + 2 : 1;
            std::size_t b = findFrom(cmp, CRLF, p + f.size() - 1);
            e = b ? b - 1 : cmp.size();
            if (repl.empty()) {
                if (s > 1)
                    s -= 2;
                else if (b)
                    e += 2;
            }
        }
        if (c == -32768) return {text, true};
        text = text.substr(0, s - 1) + repl + text.substr(e);
        cmp = cmp.substr(0, s - 1) + r2 + cmp.substr(e);
        --c;
        p = findFrom(cmp, f, s + repl.size());
    }
    return {text, false};
}

// Each piece gets a CR LF in front, as the command adds it.
Deline deleteLines(const std::string& text, const PieceTable& ranges, const std::string& find, std::int16_t counter,
                        bool ic) {
    std::vector<std::string> pieces, lower;
    for (auto [b, e] : ranges) {
        pieces.push_back("\r\n" + text.substr(b, e - b));
        lower.push_back(ic ? fold(pieces.back()) : pieces.back());
    }
    std::string f = ic ? fold(find) : find;
    int c = counter;
    bool stopped = false;
    std::size_t lastStart = 0;
    std::size_t joinedBefore = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::string& piece = pieces[i];
        std::string& low = lower[i];
        std::size_t p = findFrom(low, f, 1);
        if (c == 0) {
            if (p) stopped = true;
        }
        while (p > 0 && c != 0) {
            if (c == -32768) return {text, 1, true};
            --c;
            std::size_t a = findBackwards(std::string_view(low).substr(0, p + 1), CRLF);
            std::size_t s = a ? a + 2 : 1;
            std::size_t b = findFrom(low, CRLF, p + 1);
            std::size_t e = b ? b + 2 : low.size() + 1;
            piece.erase(s - 1, e - s);
            low.erase(s - 1, e - s);
            lastStart = joinedBefore + s - 2;  // 1-based in the joined text
            p = findFrom(low, f, s - 2);
            if (c == 0 && p) stopped = true;
        }
        joinedBefore += piece.size() - 2;
    }
    Deline r;
    for (const std::string& p : pieces) r.text += p.substr(2);
    r.cursor = stopped ? static_cast<std::int32_t>(lastStart) : 1;
    return r;
}

std::string extractReferences(const std::string& text, const std::string& prefix, const std::string& selection,
                              std::vector<RefError>& errors) {
    const std::string missingEnd =
        L1252("ERROR IMPORTANT:\r\n No pot trobar REFERÈNCIA FINAL D'UN INTERVAL que s'ha d'AFEGIR.");
    const std::string missingKey = L1252("ERROR IMPORTANT:\r\n No pot trobar referència que s'ha d'AFEGIR");
    const std::string missingExclusion = L1252("No pot trobar ref d'extracció");
    const std::string crlf(CRLF);
    auto at = [](const std::string& in, const std::string& what, std::size_t from) { return findFrom(in, what, from); };

    std::string seleccio, exclusio;
    for (const std::string& part : splitAt(selection, '<')) {
        if (part.find('>') == std::string::npos) {
            seleccio += part + ",";
            continue;
        }
        std::vector<std::string> sides = splitAt(part, '>');
        exclusio += sides[0] + ",";
        seleccio += sides[1] + ",";
        if (sides.size() > 2) errors.push_back({"", "", false});
    }

    // Where an item ("key" or "from_to") stands in `in`: its key, and its
    // 1-based start and end; a missing range end is reported as `missing`.
    struct Place {
        std::string key;
        std::size_t s = 0, e = 0;
    };
    auto locate = [&](const std::string& item, const std::string& in, const std::string& missing, bool toFirstLine) {
        Place p;
        std::vector<std::string> ends = splitAt(item, '_');
        if (ends.size() > 2) errors.push_back({"", "", false});
        p.key = prefix + ends[0];
        p.s = at(in, crlf + p.key, 1);
        if (ends.size() == 1) {
            p.e = at(in, crlf, p.s + 2);
        } else if (std::size_t f = at(in, crlf + prefix + ends[1], 1)) {
            p.e = at(in, crlf, f + 2);
        } else {
            errors.push_back({missing, prefix + ends[1]});
            if (toFirstLine) p.e = at(in, crlf, 2);
        }
        return p;
    };

    std::string extret;
    bool emptyLine = false;
    for (std::string item : splitAt(seleccio, ',')) {
        if (item.empty()) continue;
        if (item.back() == ';') {
            item = item.substr(0, item.find(';'));
            emptyLine = true;
        }
        const Place p = locate(item, text, missingEnd, true);
        if (p.s > 0 && p.s < p.e) {
            extret += text.substr(p.s - 1, p.e - p.s);
            if (emptyLine) extret += crlf;
        } else if (p.s == 0) {
            errors.push_back({missingKey, p.key});
        }
    }
    extret += crlf;

    for (const std::string& item : splitAt(exclusio, ',')) {
        if (item.empty()) continue;
        const Place p = locate(item, extret, missingExclusion, false);
        if (p.s > 0 && p.s < p.e)
            extret.erase(p.s - 1, p.e - p.s);
        else if (p.s == 0)
            errors.push_back({missingExclusion, p.key});
    }
    return extret.substr(2);
}

}  // namespace torvic::plain
