// The line commands: deline, delinepart, delinechar.
#include <algorithm>
#include <limits>

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "base/text_encoding.h"
#include "textcmd/commands.h"
#include "textcmd/text_algorithms.h"
#include "textcmd/textcmd_texts.h"

namespace torvic {

using enum ParamKind;

// The prompt shown when a long text cannot be cut into pieces at line
// breaks. Returns true for Yes (abandon the command, go on); No ends the run.
static bool piecePrompt(RunContext& ctx) {
    static const std::string question = L1252("Continuar amb l'execució de la següent linia?");
    std::string text = "Error de en executar linia " + decimal(ctx.liniaActual) + "\r" +
                       "No s'ha trobat retorn (13+10)" + "\r" + question;
    if (ctx.dialogs.askYesNo(text, "Torvic")) return true;
    ctx.endRunHere();
    ctx.endedByNo = true;
    return false;
}

// Cuts the working text into the piece table for a line-wise command.
// Returns false when the text has no line break where a piece must end:
// the piece prompt (deline, delinepart) or the syntax-error prompt with
// `noBreakMessage` (delinechar) has then been shown. More than 1000 pieces
// is a run-time error.
static bool cutForCommand(const TextDocument& doc, PieceTable& pieces, RunContext& ctx,
                          const char* noBreakMessage = nullptr) {
    switch (cutIntoPieces(doc.textTreball(), pieces, kPieceLimit, doc.utf8())) {
        case CutResult::Ok:
            return true;
        case CutResult::TooManyPieces:
            throw RunTimeError(textcmd_texts::tooManyPieces());
        case CutResult::NoLineBreak:
            break;
    }
    if (noBreakMessage) {
        std::string m = noBreakMessage;
        ctx.PErrorSintaxi(m);
    } else {
        piecePrompt(ctx);
    }
    return false;
}

namespace {

bool negativeCounts(RunContext& ctx, double a, double b) {
    if (a >= 0 && b >= 0) return false;
    std::string m = "Aquests parametres han de ser positius.";
    ctx.PErrorSintaxi(m);
    return true;
}

}  // namespace

static void cmdDelinepart(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    ctx.obtParam({Escaped, Escaped, Plain, Plain, Plain});
    double c1 = valorNumeric(ctx.param(2)), c2 = valorNumeric(ctx.param(3));
    if (negativeCounts(ctx, c1, c2)) return;
    std::int16_t skipStarts = toInt16(c1), skipEnds = toInt16(c2);
    std::int16_t counter = changeCounter(toInt16(valorNumeric(ctx.param(4))));
    PieceTable pieces;
    if (!cutForCommand(doc, pieces, ctx)) return;
    doc.posTreball = 1;
    doc.setText(removeLineParts(doc.textTreball(), pieces, doc.fromScript(ctx.param(0)), doc.fromScript(ctx.param(1)),
                                skipStarts, skipEnds, counter, doc.utf8()));
}

static void cmdDelinechar(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    ctx.obtParam({Plain, Plain, Plain});
    std::int32_t head = toInt32(valorNumeric(ctx.param(0)));
    std::int32_t tail = toInt32(valorNumeric(ctx.param(1)));
    if (negativeCounts(ctx, head, tail)) return;
    static const std::string noBreak = L1252("No s'ha trobat canvi de línia en els primers 32000 caracters");
    PieceTable pieces;
    if (!cutForCommand(doc, pieces, ctx, noBreak.c_str())) return;
    std::int16_t counter = changeCounter(toInt16(valorNumeric(ctx.param(2))));
    doc.posTreball = 1;
    doc.setText(removeLineEnds(doc.textTreball(), head, tail, counter, doc.utf8()));
}

static void cmdDeline(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    ctx.obtParam({Escaped, Plain, Plain});
    const std::string find = doc.fromScript(ctx.param(0));
    if (find.empty()) {
        const std::int32_t at = doc.bytePosition(doc.posTreball);
        doc.changeText([at](std::string& text) { deleteCursorLine(text, at); });
        return;
    }
    std::int16_t counter = changeCounter(toInt16(valorNumeric(ctx.param(1))));
    PieceTable pieces;
    if (!cutForCommand(doc, pieces, ctx)) return;
    DelineResult r = deleteLinesHolding(doc.textTreball(), pieces, find, counter, flag(ctx.param(2)), doc.utf8());
    doc.setText(std::move(r.text));
    doc.posTreball = toInt32(doc.characterPosition(r.cursor));
}


std::span<const CommandRow> linesCommands() {
    static const CommandRow rows[] = {
    {"deline", cmdDeline, "deline(\"text\",num_max,no_discr_majusc_minusc)",
     "Esborra les línies que contenen el text; sense text, la línia del cursor.",
     "deline(\"ERROR\")"},
    {"delinepart", cmdDelinepart, "delinepart(\"delimitador_inic\",\"delimitador_final\",compt1,compt2,maxdel)",
     "Esborra, a cada línia, el tros entre els dos delimitadors (inclosos).",
     "delinepart(\"<\",\">\",0,0,0)"},
    {"delinechar", cmdDelinechar, "delinechar(num_caracters_principi_a_eliminar,num_caracters_final_a_eliminar,maxlínies)",
     "Esborra caràcters del principi i del final de cada línia.",
     "delinechar(2,0,0)"},
    };
    return rows;
}

}  // namespace torvic
