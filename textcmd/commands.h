#pragma once
// The text document commands, one function per keyword. Each reads its
// parameters through the line context and changes the document.
#include <utility>
#include <vector>

#include "textcmd/document.h"
#include "textcmd/line_context.h"

namespace torvic::textcmd {

void cmdOpen(TextDocument& doc, LineContext& ctx);
void cmdSave(TextDocument& doc, LineContext& ctx);
void cmdPos(TextDocument& doc, LineContext& ctx);
void cmdLine(TextDocument& doc, LineContext& ctx);
void cmdWrite(TextDocument& doc, LineContext& ctx);
void cmdOemtoansi(TextDocument& doc, LineContext& ctx);
void cmdAnsitooem(TextDocument& doc, LineContext& ctx);
void cmdDef(TextDocument& doc, LineContext& ctx);
void cmdSearch(TextDocument& doc, LineContext& ctx);
void cmdRepl(TextDocument& doc, LineContext& ctx);
void cmdDel(TextDocument& doc, LineContext& ctx);
void cmdDeline(TextDocument& doc, LineContext& ctx);
void cmdDelinepart(TextDocument& doc, LineContext& ctx);
void cmdDelinechar(TextDocument& doc, LineContext& ctx);
void cmdRef(TextDocument& doc, LineContext& ctx);

// The prompt shown when a long text cannot be cut into pieces at line
// breaks. Returns true for Yes (abandon the command, go on); No ends the run.
bool piecePrompt(LineContext& ctx);

// Cuts the working text into the piece table for a line-wise command.
// Returns false when the text has no line break where a piece must end:
// the piece prompt (deline, delinepart) or the syntax-error prompt with
// `noBreakMessage` (delinechar) has then been shown. More than 1000 pieces
// is a run-time error.
bool cutForCommand(const std::string& text, std::vector<std::pair<std::size_t, std::size_t>>& pieces,
                   LineContext& ctx, const char* noBreakMessage = nullptr);

}  // namespace torvic::textcmd
