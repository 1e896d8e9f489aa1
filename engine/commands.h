#pragma once
// The command language: the keyword table, made of the rows of each family
// of commands (each family's file holds its commands and their rows).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "script/command_row.h"

namespace torvic {

class Platform;

// Every keyword's row: the families flow, desktop, system, document,
// search, lines and ref, in that order.
std::span<const CommandRow> commandTable();
// The row of a keyword (lower case), or nullptr.
const CommandRow* findCommand(std::string_view keyword);

// The families of engine/: flow.cpp (wait, goto, time, date, iftime, ifdate,
// beep, stop, end), desktop.cpp (exec, execdoc, send, focu, msg, mouse,
// ifmouse), system.cpp (off, logoff, reboot, standby, copy, xcopy).
std::span<const CommandRow> flowCommands();
std::span<const CommandRow> desktopCommands();
std::span<const CommandRow> systemCommands();

// Performs a shell verb on a document: 1 open, 2 print, 3 explore, any other
// the default action. Returns the shell's result.
long ExecutarDocument(Platform& platform, const std::string& strURL, std::int16_t iWindowStyle,
                      std::uint8_t nFuncio);

}  // namespace torvic
