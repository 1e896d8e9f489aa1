#pragma once
// What each system's folder under platform/ gives the programs' main
// functions besides its Platform: process settings, the platform itself,
// and the console of the console runner.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace torvic {

// Process settings every program of ours makes first thing in main.
void prepareProcess();
// The platform of the system the program runs on.
std::unique_ptr<Platform> makeSystemPlatform();
// The program's arguments after its own name, as system names (UTF-8): on
// Windows from the wide command line, whatever the ANSI code page.
std::vector<std::string> programArguments(int argc, char** argv);
// Writes UTF-8 text to standard error whole, so that a console shows it
// right whatever its own code page.
void writeStandardError(std::string_view utf8);
// Whether a person can answer questions on standard input.
bool standardInputIsTerminal();

}  // namespace torvic
