#pragma once
// The families of the working text's commands: document.cpp (open, save,
// pos, line, write, oemtoansi, ansitooem), search.cpp (search, repl, del),
// lines.cpp (deline, delinepart, delinechar) and ref.cpp (def, ref); and
// what the line-wise commands share.
#include <span>

#include "base/dialogs.h"
#include "platform/files.h"
#include "script/command_row.h"
#include "script/run_context.h"
#include "script/working_text.h"
#include "textcmd/text_algorithms.h"

namespace torvic {

std::span<const CommandRow> documentCommands();
std::span<const CommandRow> searchCommands();
std::span<const CommandRow> linesCommands();
std::span<const CommandRow> refCommands();

// Writes a text held as the working text is to a file, in the form of the
// document's own file (its encoding and mark, its line break).
bool writeDocumentText(FileStore& files, const std::string& name, std::string_view text, const TextDocument& doc,
                       std::string& error);

// The reference-error report: builds its text and shows it in the timed
// message window for 15 seconds.
void PError(Dialogs& dialogs, const TextDocument& doc, std::int16_t liniaerror, const std::string& missatge,
            const std::string& referencia, const std::string& nomFitxererror);

// A yes/no parameter: yes when its numeric value is above 0.
bool flag(const std::string& slot);

}  // namespace torvic
