#pragma once
// What each system's folder under platform/ gives the programs' main
// functions besides its Platform: process settings, the platform itself,
// and the console of the console runner.
#include <memory>
#include <string_view>

#include "platform/platform.h"

namespace torvic {

// Process settings every program of ours makes first thing in main.
void prepareProcess();
// The platform of the system the program runs on.
std::unique_ptr<Platform> makeSystemPlatform();
// Writes UTF-8 text to standard error whole, so that a console shows it
// right whatever its own code page.
void writeStandardError(std::string_view utf8);
// Whether a person can answer questions on standard input.
bool standardInputIsTerminal();

}  // namespace torvic
