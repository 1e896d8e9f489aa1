#pragma once
// The text document commands, one function per keyword. Each reads its
// parameters from the run context and changes the working text.
#include "script/run_context.h"
#include "textcmd/document.h"
#include "textcmd/text_algorithms.h"

namespace torvic::textcmd {

void cmdOpen(RunContext& ctx);
void cmdSave(RunContext& ctx);
void cmdPos(RunContext& ctx);
void cmdLine(RunContext& ctx);
void cmdWrite(RunContext& ctx);
void cmdOemtoansi(RunContext& ctx);
void cmdAnsitooem(RunContext& ctx);
void cmdDef(RunContext& ctx);
void cmdSearch(RunContext& ctx);
void cmdRepl(RunContext& ctx);
void cmdDel(RunContext& ctx);
void cmdDeline(RunContext& ctx);
void cmdDelinepart(RunContext& ctx);
void cmdDelinechar(RunContext& ctx);
void cmdRef(RunContext& ctx);

// The prompt shown when a long text cannot be cut into pieces at line
// breaks. Returns true for Yes (abandon the command, go on); No ends the run.
bool piecePrompt(RunContext& ctx);

// Cuts the working text into the piece table `trossos` for a line-wise command.
// Returns false when the text has no line break where a piece must end:
// the piece prompt (deline, delinepart) or the syntax-error prompt with
// `noBreakMessage` (delinechar) has then been shown. More than 1000 pieces
// is a run-time error.
bool cutForCommand(const std::string& text, PieceTable& pieces, RunContext& ctx,
                   const char* noBreakMessage = nullptr);

}  // namespace torvic::textcmd
