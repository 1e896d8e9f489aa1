// The search commands: search, repl, del.
#include "base/cp1252.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "textcmd/commands.h"
#include "textcmd/text_algorithms.h"
#include "textcmd/textcmd_texts.h"

namespace torvic {

using enum ParamKind;
bool flag(const std::string& slot) { return valorNumeric(slot) > 0; }

static void cmdSearch(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    ctx.obtParam({Escaped, Plain});
    const std::string& find = ctx.param(0);
    if (doc.posTreball < 1) throw RunTimeError(textcmd_texts::cursorBeforeStart());
    std::size_t p = findText(doc.textTreball(), doc.fromScript(find), static_cast<std::size_t>(doc.bytePosition(doc.posTreball)),
                             flag(ctx.param(1)), doc.utf8());
    // Nothing found: the cursor stays where it was. The script's text has
    // one character a byte.
    if (p > 0) doc.posTreball = toInt32(doc.characterPosition(static_cast<double>(p)) + static_cast<double>(find.size()));
}

static void cmdRepl(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    ctx.obtParam({Escaped, Escaped, Plain, Plain, Plain});
    std::int16_t counter = toInt16(valorNumeric(ctx.param(2)));
    bool ignoreCase = flag(ctx.param(3));
    bool wholeLine = flag(ctx.param(4));
    const std::string find = doc.fromScript(ctx.param(0)), replacement = doc.fromScript(ctx.param(1));
    if (!ignoreCase && !wholeLine) {
        if (counter < -1) throw RunTimeError(textcmd_texts::counterBelowMinusOne());
        const std::int32_t from = doc.bytePosition(doc.posTreball);
        doc.changeText([&](std::string& text) { replaceFast(text, from, find, replacement, counter > 0 ? counter : -1); });
        return;
    }
    if (find.empty()) return;
    const std::int32_t from = doc.bytePosition(doc.posTreball);
    doc.changeText([&](std::string& text) {
        replaceGeneral(text, from, find, replacement, changeCounter(counter), ignoreCase, wholeLine, doc.utf8());
    });
}

static void cmdDel(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    ctx.obtParam({Escaped, Plain, Plain});
    if (ctx.param(0).empty()) return;
    const std::int32_t from = doc.bytePosition(doc.posTreball);
    const std::string find = doc.fromScript(ctx.param(0));
    const std::int16_t counter = changeCounter(toInt16(valorNumeric(ctx.param(1))));
    const bool ignoreCase = flag(ctx.param(2));
    doc.changeText([&](std::string& text) { deleteText(text, from, find, counter, ignoreCase, doc.utf8()); });
}


std::span<const CommandRow> searchCommands() {
    static const CommandRow rows[] = {
    {"search", cmdSearch, "search(\"text\",no_discr_majusc_minusc)",
     "Busca el text a partir del cursor i deixa el cursor just després.",
     "search(\"Total:\")"},
    {"repl", cmdRepl, "repl(\"text\",\"text\",maxremp,no_discr_majusc_minusc,replaçar_tota_la_linia)",
     "Substitueix el text pel segon a partir del cursor, com a màxim maxremp vegades (0, totes), sense distingir majúscules o substituint la línia sencera si s'indica.",
     "repl(\"vell\",\"nou\",0,1,0)"},
    {"del", cmdDel, "del(\"frase\",n_max,no_discr_majusc_minusc)",
     "Esborra el text a partir del cursor, com a màxim n_max vegades.",
     "del(\"  \",0)"},
    };
    return rows;
}

}  // namespace torvic
