#pragma once
// The command language: one row per keyword, in the order the dispatcher
// compares them, with the function that runs the line and the syntax hint
// the editor shows. A new command is one row of this table.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/run_context.h"

namespace torvic {

struct CommandRow {
    std::string_view keyword;
    void (*run)(RunContext&);
    std::string_view hint;  // UTF-8
};

inline constexpr std::size_t kCommandCount = 37;
const std::array<CommandRow, kCommandCount>& commandTable();
// The row of a keyword (lower case), or nullptr.
const CommandRow* findCommand(std::string_view keyword);

// Flow and timing commands (flow_commands.cpp).
void cmdWait(RunContext& ctx);
void cmdGoto(RunContext& ctx);
void cmdTime(RunContext& ctx);
void cmdDate(RunContext& ctx);
void cmdIftime(RunContext& ctx);
void cmdIfdate(RunContext& ctx);
void cmdStop(RunContext& ctx);
void cmdBeep(RunContext& ctx);

// Process, window and input commands (desktop_commands.cpp).
void cmdExec(RunContext& ctx);
void cmdExecdoc(RunContext& ctx);
void cmdSend(RunContext& ctx);
void cmdFocu(RunContext& ctx);
void cmdMsg(RunContext& ctx);
void cmdMouse(RunContext& ctx);
void cmdIfmouse(RunContext& ctx);
// Performs a shell verb on a document: 1 open, 2 print, 3 explore, any other
// the default action. Returns the shell's result.
long ExecutarDocument(Platform& platform, const std::string& strURL, std::int16_t iWindowStyle,
                      std::uint8_t nFuncio);

// System and file commands (system_commands.cpp).
void cmdOff(RunContext& ctx);
void cmdLogoff(RunContext& ctx);
void cmdReboot(RunContext& ctx);
void cmdStandby(RunContext& ctx);
void cmdCopy(RunContext& ctx);
void cmdXcopy(RunContext& ctx);

}  // namespace torvic
