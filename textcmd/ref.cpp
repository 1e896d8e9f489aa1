// The reference commands: def (the default prefix) and ref (entries picked out by their keys).
#include "textcmd/ref.h"

#include <algorithm>
#include <optional>
#include <set>

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/text.h"
#include "platform/files.h"
#include "textcmd/commands.h"
#include "textcmd/textcmd_texts.h"

namespace torvic {

using enum ParamKind;
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Below this many lookups a plain search is cheaper than building the index.
constexpr std::size_t kIndexThreshold = 8;

// 1-based position of the first CR LF at or after 1-based `from`, or 0.
std::size_t crlfFrom(std::string_view text, std::size_t from) { return findFrom(text, CRLF, from); }

// 1-based position of CR LF + key, searching from the start of `text`; 0 if absent.
std::size_t findKey(std::string_view text, std::string_view key) {
    std::string pattern(CRLF);
    pattern.append(key);
    return findFrom(text, pattern, 1);
}

// Keys looked up in the working text: through the index when there are
// many, otherwise with a plain search for CR LF + key.
class KeyFinder {
public:
    KeyFinder(std::string_view text, std::size_t lookups, std::size_t maxKeyLength) : text_(text) {
        if (lookups > kIndexThreshold) index_.emplace(text, maxKeyLength);
    }
    std::size_t find(std::string_view key) const {
        return index_ ? index_->find(key) : findKey(text_, key);
    }

private:
    std::string_view text_;
    std::optional<LineStartIndex> index_;
};


}  // namespace

LineStartIndex::LineStartIndex(std::string_view text, std::size_t maxKeyLength)
    : text_(text), maxKey_(maxKeyLength) {
    for (std::size_t p = text.find(CRLF); p != npos; p = text.find(CRLF, p + 2)) byPosition_.push_back(p + 2);
    sorted_ = byPosition_;
    std::stable_sort(sorted_.begin(), sorted_.end(),
                     [this](std::size_t a, std::size_t b) { return prefixAt(a) < prefixAt(b); });
    leafOf_.resize(sorted_.size());
    for (std::size_t i = 0; i < sorted_.size(); ++i) {
        auto at = std::lower_bound(byPosition_.begin(), byPosition_.end(), sorted_[i]);
        leafOf_[static_cast<std::size_t>(at - byPosition_.begin())] = i;
    }
    // Bottom-up segment tree: leaves at n..2n-1, each inner node the smaller child.
    const std::size_t n = sorted_.size();
    minimum_.assign(2 * n, npos);
    std::copy(sorted_.begin(), sorted_.end(), minimum_.begin() + static_cast<std::ptrdiff_t>(n));
    for (std::size_t i = n; i-- > 1;) minimum_[i] = std::min(minimum_[2 * i], minimum_[2 * i + 1]);
}

void LineStartIndex::remove(std::size_t lineStart) {
    auto at = std::lower_bound(byPosition_.begin(), byPosition_.end(), lineStart);
    if (at == byPosition_.end() || *at != lineStart) return;
    std::size_t i = leafOf_[static_cast<std::size_t>(at - byPosition_.begin())] + sorted_.size();
    minimum_[i] = npos;
    for (i /= 2; i >= 1; i /= 2) minimum_[i] = std::min(minimum_[2 * i], minimum_[2 * i + 1]);
}

std::string_view LineStartIndex::prefixAt(std::size_t start) const { return text_.substr(start, maxKey_); }

std::size_t LineStartIndex::minimumStart(std::size_t lo, std::size_t hi) const {
    std::size_t best = npos;
    for (lo += sorted_.size(), hi += sorted_.size(); lo < hi; lo /= 2, hi /= 2) {
        if (lo & 1) best = std::min(best, minimum_[lo++]);
        if (hi & 1) best = std::min(best, minimum_[--hi]);
    }
    return best;
}

std::size_t LineStartIndex::find(std::string_view key) const {
    if (key.size() > maxKey_) return findKey(text_, key);
    // Lines that begin with `key` form one run of the sorted order.
    auto lo = std::lower_bound(sorted_.begin(), sorted_.end(), key,
                               [this, &key](std::size_t s, std::string_view k) {
                                   return text_.substr(s, key.size()) < k;
                               });
    auto hi = std::upper_bound(lo, sorted_.end(), key, [this, &key](std::string_view k, std::size_t s) {
        return k < text_.substr(s, key.size());
    });
    if (lo == hi) return 0;
    std::size_t start = minimumStart(static_cast<std::size_t>(lo - sorted_.begin()),
                                     static_cast<std::size_t>(hi - sorted_.begin()));
    if (start == npos) return 0;  // every such line was removed
    return start - 1;             // 1-based position of the CR before it
}

namespace {

// The selection text cut into the items to add and the items to exclude
// ("<" opens an exclusion list that ">" closes), each list ending in ",".
struct Selection {
    std::string llistaSeleccio, llistaExclusio;
};

Selection cutSelection(std::string_view selection, std::vector<RefError>& errors) {
    Selection s;
    for (std::string_view part : split(selection, '<')) {
        if (part.find('>') == npos) {
            s.llistaSeleccio.append(part).append(",");
            continue;
        }
        std::vector<std::string_view> sides = split(part, '>');
        s.llistaExclusio.append(sides[0]).append(",");
        s.llistaSeleccio.append(sides[1]).append(",");
        if (sides.size() > 2) errors.push_back({"", "", false});
    }
    return s;
}

// Where an item's entry lies in a text: from the CR LF before its first line
// (s) to the CR LF after its last line (e), 1-based; s is 0 when the key is
// missing. An item is a key, or a range "a_b" of keys.
struct Entry {
    std::string key;
    std::size_t s = 0, e = 0;
};

class EntryLocator {
public:
    // `missingEndMessage` reports a range whose end key is missing; e is then
    // taken from the start of the text (`missingEndFromStart`) or is 0.
    EntryLocator(std::string_view prefix, std::string missingEndMessage, bool missingEndFromStart,
                 std::vector<RefError>& errors)
        : prefix_(prefix), missingEnd_(std::move(missingEndMessage)), fromStart_(missingEndFromStart),
          errors_(errors) {}

    // `find` gives the 1-based position of CR LF + key in the text as it
    // stands now (exclusions change it between calls), `endOf` the first
    // CR LF from a position + 2.
    template <class Find, class EndOf>
    Entry locate(std::string_view item, Find find, EndOf endOf) const {
        Entry entry;
        if (item.find('_') == npos) {
            entry.key = prefix_ + std::string(item);
            entry.s = find(entry.key);
            entry.e = endOf(entry.s);
            return entry;
        }
        std::vector<std::string_view> ends = split(item, '_');
        if (ends.size() > 2) errors_.push_back({"", "", false});
        entry.key = prefix_ + std::string(ends[0]);
        const std::string endKey = prefix_ + std::string(ends[1]);
        entry.s = find(entry.key);
        std::size_t f = find(endKey);
        if (f == 0) {
            errors_.push_back({missingEnd_, endKey});
            entry.e = fromStart_ ? endOf(0) : 0;
        } else {
            entry.e = endOf(f);
        }
        return entry;
    }

private:
    std::string prefix_;
    std::string missingEnd_;
    bool fromStart_;
    std::vector<RefError>& errors_;
};

// What was extracted, as units that each begin with a CR LF (every CR LF of
// it begins one), for taking many exclusions out: the first remaining unit
// whose line begins with a key comes from a LineStartIndex, and each unit is
// removed once, so n exclusions cost O(n log n) instead of a search and an
// erase of the whole text each. Keys must hold no CR or LF (a key that does
// may match across units).
class ExtractedUnits {
public:
    ExtractedUnits(std::string_view text, std::size_t maxKeyLength) : text_(text), index_(text, maxKeyLength) {
        for (std::size_t p = text.find(CRLF); p != npos; p = text.find(CRLF, p + 2)) units_.push_back(p + 1);
        for (std::size_t k = 0; k < units_.size(); ++k) remaining_.insert(remaining_.end(), units_[k]);
    }
    // 1-based position of the first remaining CR LF + key, or 0.
    std::size_t find(std::string_view key) const { return index_.find(key); }
    // The remaining unit after the one at 1-based `s`, or 0.
    std::size_t endOf(std::size_t s) const {
        auto it = remaining_.upper_bound(s);
        return it == remaining_.end() ? 0 : *it;
    }
    // Takes out the remaining units from 1-based `s` up to `e`.
    void remove(std::size_t s, std::size_t e) {
        for (auto it = remaining_.lower_bound(s); it != remaining_.end() && *it < e; it = remaining_.erase(it))
            index_.remove(*it + 1);
    }
    std::string text() const {
        std::string out;
        for (std::size_t s : remaining_) {
            auto next = std::upper_bound(units_.begin(), units_.end(), s);
            std::size_t end = next == units_.end() ? text_.size() + 1 : *next;
            out.append(text_.substr(s - 1, end - s));
        }
        return out;
    }

private:
    std::string_view text_;
    LineStartIndex index_;
    std::vector<std::size_t> units_;   // 1-based positions of every CR LF, in text order
    std::set<std::size_t> remaining_;  // those not taken out
};

}  // namespace

std::string extractReferences(std::string_view text, std::string_view prefix, std::string_view selection,
                              std::vector<RefError>& errors) {
    static const std::string missingEnd =
        L1252("ERROR IMPORTANT:\r\n No pot trobar REFERÈNCIA FINAL D'UN INTERVAL que s'ha d'AFEGIR.");
    static const std::string missingKey = L1252("ERROR IMPORTANT:\r\n No pot trobar referència que s'ha d'AFEGIR");
    static const std::string missingExclusion = L1252("No pot trobar ref d'extracció");

    const Selection sel = cutSelection(selection, errors);
    std::vector<std::string_view> items = split(sel.llistaSeleccio, ',');
    std::size_t lookups = 0, longest = 0;
    for (std::string_view item : items) {
        lookups += 1 + (item.find('_') != npos);
        longest = std::max(longest, item.size());
    }
    const KeyFinder keys(text, lookups, prefix.size() + longest);

    // The entries of the selection, in its order.
    std::string textExtret;
    const EntryLocator inText(prefix, missingEnd, true, errors);
    bool emptyLine = false;
    for (std::string_view item : items) {
        if (item.empty()) continue;
        if (item.back() == ';') {
            item = item.substr(0, item.find(';'));
            emptyLine = true;
        }
        Entry entry = inText.locate(item, [&](const std::string& k) { return keys.find(k); },
                                    [&](std::size_t f) { return crlfFrom(text, f + 2); });
        if (entry.s > 0 && entry.s < entry.e) {
            textExtret.append(text.substr(entry.s - 1, entry.e - entry.s));
            if (emptyLine) textExtret.append(CRLF);
        } else if (entry.s == 0) {
            errors.push_back({missingKey, entry.key});
        }
    }
    textExtret.append(CRLF);

    // The exclusions, taken out of what was extracted.
    const EntryLocator inExtract(prefix, missingExclusion, false, errors);
    std::vector<std::string_view> exclusions = split(sel.llistaExclusio, ',');
    const bool lineBreakInKeys = prefix.find_first_of("\r\n") != npos ||
                                 std::any_of(exclusions.begin(), exclusions.end(), [](std::string_view item) {
                                     return item.find_first_of("\r\n") != npos;
                                 });
    if (lineBreakInKeys) {
        // Rare: searched in the text as it stands after each exclusion.
        for (std::string_view item : exclusions) {
            if (item.empty()) continue;
            Entry entry = inExtract.locate(item, [&](const std::string& k) { return findKey(textExtret, k); },
                                           [&](std::size_t f) { return crlfFrom(textExtret, f + 2); });
            if (entry.s > 0 && entry.s < entry.e) {
                textExtret.erase(entry.s - 1, entry.e - entry.s);
            } else if (entry.s == 0) {
                errors.push_back({missingExclusion, entry.key});
            }
        }
        return textExtret.substr(2);
    }
    std::size_t longestExclusion = 0;
    for (std::string_view item : exclusions) longestExclusion = std::max(longestExclusion, item.size());
    ExtractedUnits units(textExtret, prefix.size() + longestExclusion);
    for (std::string_view item : exclusions) {
        if (item.empty()) continue;
        Entry entry = inExtract.locate(item, [&](const std::string& k) { return units.find(k); },
                                       [&](std::size_t f) { return units.endOf(f); });
        if (entry.s > 0 && entry.s < entry.e) {
            units.remove(entry.s, entry.e);
        } else if (entry.s == 0) {
            errors.push_back({missingExclusion, entry.key});
        }
    }
    return units.text().substr(2);
}

static void cmdRef(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    ctx.obtParam({Text, Text});
    const std::string fileName = ctx.param(0);
    std::vector<RefError> errors;
    std::string extracted = extractReferences(doc.textTreball(), doc.fromScript(doc.referenciaDefecte),
                                              doc.fromScript(ctx.param(1)), errors);
    for (const RefError& err : errors)
        PError(ctx.dialogs, doc, ctx.liniaActual, err.missatge, doc.toScript(err.referencia),
               err.namesFile ? fileName : "");
    // The entries are written in the form of the working text's file.
    std::string error;
    if (!writeDocumentText(ctx.files, std::string(trimBlanks(fileName)), extracted, doc, error))
        throw RunTimeError(textcmd_texts::refCannotWrite(fileName, error));
}

static void cmdDef(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    ctx.obtParam({Rest});
    doc.referenciaDefecte = ctx.param(0);
}


std::span<const CommandRow> refCommands() {
    static const CommandRow rows[] = {
    {"def", cmdDef, "def(referencia_per_defecte)",
     "Fixa el prefix de les referències que fa servir ref.",
     "def(ART)"},
    {"ref", cmdRef, "REF(\"nom_fitxer\",\"seleccio_referencies <exclusió_referencies>\"",
     "Extreu al fitxer les entrades del catàleg per les seves referències: llistes separades per comes, intervals amb _, exclusions entre < i >, i ; per afegir-hi una línia buida.",
     "ref(\"sortida.txt\",\"10,20_25<22>\")"},
    };
    return rows;
}

}  // namespace torvic
