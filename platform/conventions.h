#pragma once
// The conventions of the system the program runs on, which the windows'
// behaviour follows without knowing the system: how a path ends a folder,
// which files a name pattern finds (hidden ones never), where the program
// keeps the files it ships, what shows the system's information. Each
// system's folder under platform/ implements them.
#include <string>
#include <vector>

namespace torvic::conventions {

// The character that ends a folder in a path the user sees.
char folderSeparator();

// The folder part of a path, up to and including its last separator.
std::string folderPart(const std::string& path);

// The first ordinary file (not a folder, not hidden) in the pattern's folder
// whose name matches the pattern's last part (with * and ?), in name order,
// as the folder part of the pattern followed by the name; empty when none.
std::string firstMatchingFile(const std::string& pattern);

// A file the program ships (the manual), looked for where an installation
// puts it for a program in `programDirectory`; empty when it is not there.
std::string programDataFile(const std::string& programDirectory, const std::string& name);

// The programs that show the system's information, each as a command line,
// in the order they are tried; none found gives an empty list.
std::vector<std::string> systemInformationPrograms();

}  // namespace torvic::conventions
