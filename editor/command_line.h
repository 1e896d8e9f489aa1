#pragma once
// The command line of torvic: nothing, a script to edit, "/exec", a
// separator and a script to run hidden, or "/nou", a separator and a script
// to show as a new program; a path may be in double quotes.
#include <string>
#include <vector>

namespace torvic {

struct StartRequest {
    // OpenAsNew ("/nou" and a script): its text as a new program, not yet
    // saved anywhere (another window shows it beside a changed copy).
    enum Kind { Nothing, Edit, RunHidden, OpenAsNew } kind = Nothing;
    std::string file;
};

// The argument text as one line: arguments joined by one blank, an argument
// holding a blank put between double quotes.
std::string commandLineText(const std::vector<std::string>& args);

// The argument text of a whole command line as the system gives it (the
// program's path, quoted or not, then the arguments): everything after the
// path and the blanks that follow it.
std::string commandLineArguments(const std::string& commandLine);

StartRequest parseCommandLine(const std::string& cmd);

// Whether the argument text asks for the usage: "--help", "-h" or "/?" alone.
bool isHelpRequest(const std::string& arguments);

// The usage (UTF-8), for the console or a message box; `withManual` adds
// the line of "/manual", where the program has it.
std::string usageText(bool withManual);

}  // namespace torvic
