// The document commands: open, save, pos, line, write, oemtoansi, ansitooem.
#include <algorithm>

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "platform/codepage850.h"
#include "platform/files.h"
#include "textcmd/commands.h"
#include "textcmd/textcmd_texts.h"

namespace torvic {

using enum ParamKind;
namespace {

// The reason the system gave goes on a second line.
void fileError(RunContext& ctx, const char* command, const std::string& reason) {
    ctx.dialogs.messageBox(std::string("Error en comanda ") + command + " en linia " +
                               decimalWithSign(ctx.liniaActual) +
                               L1252(": El fitxer especificat no s'ha pogut trobar.") + "\r" + reason,
                           "Error en trobar el fitxer:", MessageIcon::Critical);
}

}  // namespace

bool writeDocumentText(FileStore& files, const std::string& name, std::string_view text, const TextDocument& doc,
                       std::string& error) {
    if (doc.writtenAsHeld()) return files.writeDocument(name, text, error);
    DocumentFileBytes bytes(doc, text);
    return files.writeDocumentPieces(name, [&bytes] { return bytes.next(); }, error);
}

static void cmdOpen(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    doc.posTreball = 1;
    ctx.obtParam({Text});
    doc.setText({});
    // The whole file is loaded, byte 26 included: nothing is cut short.
    std::string error;
    std::optional<std::string> bytes = ctx.files.readDocument(ctx.param(0), error);
    if (bytes) {
        doc.load(std::move(*bytes), ctx.files.plainTextEncoding(), ctx.files.plainLineBreak());
    } else {
        fileError(ctx, "OPEN", error);
    }
    ctx.param(0).clear();
}

static void cmdSave(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    ctx.obtParam({Text});
    // The text is written exactly as it is, with no line break added, in
    // the encoding and with the line break of the file it came from. A save
    // that fails is a failure of the line, with the system's reason: a run
    // that went on would work from a file that was never written.
    std::string error;
    if (!writeDocumentText(ctx.files, ctx.param(0), doc.textTreball(), doc, error))
        throw RunTimeError(textcmd_texts::saveFailed(decimalWithSign(ctx.liniaActual), ctx.param(0), error));
}

static void cmdPos(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    ctx.obtParam({Plain});
    std::int32_t p = toInt32(doc.posTreball + valorNumeric(ctx.param(0)));
    if (p == 0) {
        ctx.dialogs.messageBox("Error en POS en linia " + decimalWithSign(ctx.liniaActual),
                              "Error en comanda POS:", MessageIcon::None);
        doc.posTreball = 1;
        return;
    }
    doc.posTreball = p;
}

static void cmdLine(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    ctx.obtParam({Plain, Plain});
    std::int16_t k = toInt16(valorNumeric(ctx.param(0)));
    double p = 1;
    for (; k > 0; --k) {
        std::size_t b = findFrom(doc.textTreball(), CRLF, static_cast<std::size_t>(p));
        if (b == 0) {
            p = static_cast<double>(doc.textTreball().size()) + 1;  // past the last line: the end of the text
            break;
        }
        p = static_cast<double>(b) + 2;
    }
    doc.posTreball = toInt32(doc.characterPosition(p) + valorNumeric(ctx.param(1)));
}

static void cmdWrite(RunContext& ctx) {
    TextDocument& doc = ctx.document;
    if (doc.textTreball().empty()) return;
    // The text is cut from the raw line: between the first two double quotes
    // of what lies between the first and the second "(".
    std::vector<std::string_view> byParen = split(ctx.entry(ctx.liniaActual), '(');
    if (byParen.size() < 2) throw RunTimeError(textcmd_texts::writeWithoutParenthesis());
    std::vector<std::string_view> byQuote = split(byParen[1], '"');
    const std::string& line = ctx.entry(ctx.liniaActual);
    if (byQuote.size() < 2 || std::count(line.begin(), line.end(), '"') < 2)
        throw RunTimeError(textcmd_texts::writeWithoutQuotedText());
    if (doc.posTreball < 1) throw RunTimeError(textcmd_texts::cursorBeforeStart());
    std::size_t at = static_cast<std::size_t>(doc.bytePosition(doc.posTreball)) - 1;
    if (at > doc.textTreball().size()) at = doc.textTreball().size();
    const std::string inserted = doc.fromScript(byQuote[1]);
    doc.changeText([&](std::string& text) { text.insert(at, inserted); });
}

// A UTF-8 document holds its characters themselves, not the bytes of a code
// page: there is nothing to convert, and converting its bytes would garble
// it. Both commands leave it as it is.
static void cmdOemtoansi(RunContext& ctx) {
    if (!ctx.document.utf8()) ctx.document.changeText([&](std::string& text) { ctx.codePages.oemToAnsi(text); });
}

static void cmdAnsitooem(RunContext& ctx) {
    if (!ctx.document.utf8()) ctx.document.changeText([&](std::string& text) { ctx.codePages.ansiToOem(text); });
}


std::span<const CommandRow> documentCommands() {
    static const CommandRow rows[] = {
    {"open", cmdOpen, "open(\"nom_del_fitxer\")",
     "Carrega un fitxer com a text de treball; el cursor va al principi.",
     "open(\"llista.txt\")"},
    {"save", cmdSave, "save(\"nom_del_fitxer\")",
     "Desa el text de treball al fitxer, tal com és.",
     "save(\"resultat.txt\")"},
    {"pos", cmdPos, "pos(n_caracters)",
     "Avança (o retrocedeix) el cursor els caràcters indicats.",
     "pos(10)"},
    {"line", cmdLine, "line(linia,n_caracters)            ",
     "Posa el cursor al principi de la línia indicada, més els caràcters indicats.",
     "line(3,0)"},
    {"write", cmdWrite, "write()",
     "Escriu el text entre cometes a la posició del cursor.",
     "write(\"nou text\")"},
    {"oemtoansi", cmdOemtoansi, "oemtoansi()",
     "Converteix el text de treball de la pàgina de codis de consola a la de Windows.",
     "oemtoansi()"},
    {"ansitooem", cmdAnsitooem, "ansitooem()",
     "Converteix el text de treball de la pàgina de codis de Windows a la de consola.",
     "ansitooem()"},
    };
    return rows;
}

}  // namespace torvic
